#include "setup/wizard/Wizard.h"

#include "framework/Exception.h"
#include "framework/Resources.h"
#include "framework/WinApp.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/WizardPage.h"

namespace {

// The page's caption, as its template gives it.
std::string PageTitle(const CWizardPage& page) {
  char title[128] = {};
  if (page.m_hWnd) ::GetWindowTextA(page.m_hWnd, title, sizeof title);
  return title;
}

}  // namespace

CWizard::CWizard(CSetupState& state) : state_(state), pageIcons_(AfxGetResourceHandle()) {}

CWizard::~CWizard() { DestroyAllPages(); }

CWizardPage* CWizard::AdoptPage(std::unique_ptr<CWizardPage> page) {
  if (!page) return nullptr;
  auto& slot = pages_[page->GetPageId()];
  if (slot) return slot.get();  // a page exists once; the first one stays
  page->SetWizard(*this);
  slot = std::move(page);
  return slot.get();
}

CWizardPage* CWizard::CreatePage(int id) {
  const CWizardStep* step = FindWizardStep(id);
  if (!step) return nullptr;
  std::unique_ptr<CWizardPage> page = step->make();
  page->SetNextPageId(step->FirstNext(state_));
  return AdoptPage(std::move(page));
}

CWizardPage* CWizard::FindPage(int id) const {
  const auto it = pages_.find(id);
  return it == pages_.end() ? nullptr : it->second.get();
}

void CWizard::ShowPage(int id, bool backwards) {
  if (id == CWizardPage::kEndOfProgram) {
    ended_ = true;
    if (CWnd* main = AfxGetMainWnd()) main->DestroyWindow();
    return;
  }
  CWizardPage* const previous = currentPage_;
  const int previousId = previous ? previous->GetPageId() : 0;

  CWizardPage* page = nullptr;
  // A chain of pages that all refuse to show would never end: there are
  // fewer pages than ids can name, so stop after visiting that many.
  for (int visited = 0;; ++visited) {
    page = FindPage(id);
    if (!page) page = CreatePage(id);
    if (!page || visited > 64) AfxThrowNotSupportedException();
    if (page->GetStep().shown(state_, *page)) break;
    id = backwards ? page->GetPreviousPageId() : page->GetNextPageId();
    if (id == CWizardPage::kEndOfProgram) {
      ShowPage(id, backwards);
      return;
    }
  }

  if (!backwards && page->GetPreviousPageId() == 0 && page->GetStep().back == CWizardStep::Back::cameFrom) {
    page->SetPreviousPageId(previousId);
  }
  currentPage_ = page;

  if (!page->m_hWnd) {
    if (!page->CreatePageWindow()) AfxThrowResourceException();
    page->UpdateWindow();
  } else if (!state_.silentMode) {
    page->ShowWindow(SW_SHOW);
  }
  state_.verboseLog.Write("Page %d entered: %s%s", id, PageTitle(*page).c_str(), backwards ? " (Back)" : "");

  // Showing the page that is already current must not hide it.
  if (previous && previous != page) {
    previous->SetHiddenOnce();
    if (previous->m_hWnd) previous->ShowWindow(SW_HIDE);
  }
}

void CWizard::DestroyAllPages() {
  currentPage_ = nullptr;
  // Take the pages out of the map first: a page's destruction must not
  // find itself (or the others) still listed.
  auto pages = std::move(pages_);
  pages_.clear();
  pages.clear();
}
