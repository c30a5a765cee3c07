// CWizard: the setup wizard of one run. It walks the run's steps
// (WizardStep.h): it owns the pages by id, knows the page shown now and is
// the one way pages change. Its pages reach the run's state (CSetupState)
// through it. A seen run shows the pages' windows (out of sight in batch
// mode); a silent one walks the same steps with no window at all.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

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
  // In a walk without windows (WalkUnseen) it only names the step the walk
  // goes on with once the page that asks has returned.
  void ShowPage(int id, bool backwards);
  // Walks the steps from id to the end of the program without creating a
  // window: each step's page is made, passed over by the same rules, and
  // does its work and its checks as an unattended page does, without its
  // window (CWizardPage::RunUnseen). Returns when a step ends the program.
  void WalkUnseen(int id);
  // Whether the walk is still on page: it has neither moved on nor ended.
  bool IsOn(const CWizardPage& page) const noexcept;
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
  // Finds or creates the page of id, passing over the steps that are not
  // shown, records where it was reached from and makes it the current
  // page; null when the steps lead to the end of the program, which is
  // then ended.
  CWizardPage* Arrive(int id, bool backwards);
  void End();
  // The verbose log's line for the page entered.
  void NoteEntered(const CWizardPage& page, bool backwards, const std::string& title) const;

  CSetupState& state_;
  // Before the pages: the icons must outlive the windows that show them.
  CPackedIcons pageIcons_;
  std::map<int, std::unique_ptr<CWizardPage>> pages_;
  CWizardPage* currentPage_ = nullptr;
  bool ended_ = false;
  // While the walk has no windows: the step asked for next, and which way.
  bool unseen_ = false;
  std::optional<int> pendingId_;
  bool pendingBackwards_ = false;
  HPALETTE backgroundPalette_ = nullptr;  // not owned
};
