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

void CWizard::End() {
  ended_ = true;
  // A walk without windows has no main window: it simply stops.
  if (unseen_) return;
  if (CWnd* main = AfxGetMainWnd()) main->DestroyWindow();
}

CWizardPage* CWizard::Arrive(int id, bool backwards) {
  const int previousId = currentPage_ ? currentPage_->GetPageId() : 0;
  CWizardPage* page = nullptr;
  // A chain of pages that all refuse to show would never end: there are
  // fewer pages than ids can name, so stop after visiting that many.
  for (int visited = 0;; ++visited) {
    if (id == CWizardPage::kEndOfProgram) {
      End();
      return nullptr;
    }
    page = FindPage(id);
    if (!page) page = CreatePage(id);
    if (!page || visited > 64) AfxThrowNotSupportedException();
    if (page->GetStep().shown(state_, *page)) break;
    id = backwards ? page->GetPreviousPageId() : page->GetNextPageId();
  }
  if (!backwards && page->GetPreviousPageId() == 0 && page->GetStep().back == CWizardStep::Back::cameFrom) {
    page->SetPreviousPageId(previousId);
  }
  currentPage_ = page;
  return page;
}

void CWizard::NoteEntered(const CWizardPage& page, bool backwards, const std::string& title) const {
  state_.verboseLog.Write("Page %d entered: %s%s", page.GetPageId(), title.c_str(), backwards ? " (Back)" : "");
}

void CWizard::ShowPage(int id, bool backwards) {
  if (unseen_) {
    pendingId_ = id;
    pendingBackwards_ = backwards;
    return;
  }
  CWizardPage* const previous = currentPage_;
  CWizardPage* const page = Arrive(id, backwards);
  if (!page) return;

  if (!page->m_hWnd) {
    if (!page->CreatePageWindow()) AfxThrowResourceException();
    page->UpdateWindow();
  } else {
    page->ShowWindow(SW_SHOW);
  }
  NoteEntered(*page, backwards, PageTitle(*page));

  // Showing the page that is already current must not hide it.
  if (previous && previous != page) {
    previous->SetHiddenOnce();
    if (previous->m_hWnd) previous->ShowWindow(SW_HIDE);
  }
}

void CWizard::WalkUnseen(int id) {
  unseen_ = true;
  pendingId_ = id;
  pendingBackwards_ = false;
  while (pendingId_ && !ended_) {
    const int next = *pendingId_;
    const bool backwards = pendingBackwards_;
    pendingId_.reset();
    CWizardPage* const previous = currentPage_;
    CWizardPage* const page = Arrive(next, backwards);
    if (!page) break;
    if (previous && previous != page) previous->SetHiddenOnce();
    // The caption the page's window would have, with the product's name.
    const std::string caption = page->TemplateCaption();
    page->Prepare();
    NoteEntered(*page, backwards, state_.product.named ? state_.product.InText(caption) : caption);
    page->RunUnseen();
  }
}

bool CWizard::IsOn(const CWizardPage& page) const noexcept {
  return currentPage_ == &page && !ended_ && !pendingId_;
}

void CWizard::DestroyAllPages() {
  currentPage_ = nullptr;
  // Take the pages out of the map first: a page's destruction must not
  // find itself (or the others) still listed.
  auto pages = std::move(pages_);
  pages_.clear();
  pages.clear();
}
