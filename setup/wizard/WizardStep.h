// The run's order: one step per page of the wizard, all in one table
// (WizardStep.cpp). A step names its page (the page's id is its dialog
// template), how the page is made, the step that follows it, where Back
// leads and when it is shown at all. The wizard walks these steps, with
// the pages' windows or, in a silent run, without any.
#pragma once

#include <cstdint>
#include <memory>

#include "setup/resources/ResourceIds.h"

class CSetupState;
class CWizardPage;

// The step that ends the program.
constexpr int kEndOfProgramStep = -1;
// The step that says the product was not properly installed (or removed);
// where every failure ends.
constexpr int kFailedStep = IDD_FAILED;

struct CWizardStep {
  // Where Back leads from the step.
  enum class Back : std::uint8_t {
    nowhere,    // the first page of a walk
    cameFrom,   // the step it was first reached from, going forward
  };

  // (The ids are dialog ids, small enough for 16 bits: the table is part
  // of a program that must fit a diskette.)
  std::int16_t pageId;
  // Makes the step's page (its work, its checks and its view).
  std::unique_ptr<CWizardPage> (*make)();
  // The fixed successor; kEndOfProgramStep ends the program. A page may
  // change it while it runs (a failure, the install conditions, the
  // outcome of the registration).
  std::int16_t next;
  // The successor in a removal, when it differs (0: next).
  std::int16_t nextRemoving;
  Back back;
  bool buttonBar;
  // Whether the step is shown when it is reached; a step passed over
  // leads on (or, going back, further back).
  bool (*shown)(const CSetupState& state, const CWizardPage& page);

  // The successor the step starts with in this run.
  int FirstNext(const CSetupState& state) const;
};

// The step of page id; null for an id that is no page.
const CWizardStep* FindWizardStep(int pageId);
