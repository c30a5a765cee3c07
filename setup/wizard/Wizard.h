// CWizard: the setup wizard of one run. It owns the pages by id, knows the
// page shown now and is the one way pages change. Its pages reach the run's
// state (CSetupState) through it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "framework/PackedIcon.h"

class CSetupState;
class CWizardPage;

// Posted by a page to itself when its window has been created; the page
// runner then does the page's work.
constexpr UINT WM_PAGEWORK = WM_USER + 201;

class CWizard {
public:
  // state must outlive the wizard.
  explicit CWizard(CSetupState& state);
  // Destroys every page that is left.
  ~CWizard();
  CWizard(const CWizard&) = delete;
  CWizard& operator=(const CWizard&) = delete;

  CSetupState& State() const noexcept { return state_; }

  // Shows page id (finding or creating it, passing over pages that do not
  // want to be shown, going by their previous ids when backwards) and hides
  // the page shown before. id -1 ends the program: the main window is
  // destroyed.
  void ShowPage(int id, bool backwards);
  // The created page of that id, or null.
  CWizardPage* FindPage(int id) const;
  // Creates the page of that step (WizardStep.h) with the successor it
  // starts with and adopts it; null for an id that is no step.
  CWizardPage* CreatePage(int id);
  // Takes a new page into the page map, which owns it until
  // DestroyAllPages, and makes this wizard the page's; returns it. When the
  // map already holds a page of that id, the new one is dropped and the
  // existing one returned.
  CWizardPage* AdoptPage(std::unique_ptr<CWizardPage> page);
  // The page shown last, or null.
  CWizardPage* GetCurrentPage() const noexcept { return currentPage_; }
  // Whether a page has ended the program (ShowPage(-1)).
  bool HasEnded() const noexcept { return ended_; }
  // Destroys every created page (at the end of the program).
  void DestroyAllPages();

  // The palette of the background the pages stand on, realised by a page
  // when the application becomes active; null when there is none.
  HPALETTE GetBackgroundPalette() const noexcept { return backgroundPalette_; }
  void SetBackgroundPalette(HPALETTE palette) noexcept { backgroundPalette_ = palette; }

  // The packed icons the pages show, each made once for the whole run.
  CPackedIcons& PageIcons() noexcept { return pageIcons_; }

private:
  CSetupState& state_;
  // Before the pages: the icons must outlive the windows that show them.
  CPackedIcons pageIcons_;
  std::map<int, std::unique_ptr<CWizardPage>> pages_;
  CWizardPage* currentPage_ = nullptr;
  bool ended_ = false;
  HPALETTE backgroundPalette_ = nullptr;  // not owned
};
