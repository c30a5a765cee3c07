#include "setup/wizard/Wizard.h"

#include <map>
#include <memory>

#include "framework/Exception.h"
#include "framework/WinApp.h"
#include "setup/wizard/WizardPage.h"

namespace {

// The page map owns every page created in the run; the current page is
// the one shown last.
std::map<int, std::unique_ptr<CWizardPage>>& PageMap() {
  static std::map<int, std::unique_ptr<CWizardPage>> pages;
  return pages;
}

CWizardPage* g_currentPage = nullptr;

}  // namespace

CWizardPage* AdoptPage(std::unique_ptr<CWizardPage> page) {
  if (!page) return nullptr;
  auto& slot = PageMap()[page->GetPageId()];
  if (slot) return slot.get();  // a page exists once; the first one stays
  slot = std::move(page);
  return slot.get();
}

CWizardPage* FindPage(int id) {
  const auto it = PageMap().find(id);
  return it == PageMap().end() ? nullptr : it->second.get();
}

CWizardPage* GetCurrentPage() { return g_currentPage; }

void ShowPage(int id, bool backwards) {
  if (id == CWizardPage::kEndOfProgram) {
    if (CWnd* main = AfxGetMainWnd()) main->DestroyWindow();
    return;
  }
  CWizardPage* const previous = g_currentPage;
  const int previousId = previous ? previous->GetPageId() : 0;

  CWizardPage* page = nullptr;
  // A chain of pages that all refuse to show would never end: there are
  // fewer pages than ids can name, so stop after visiting that many.
  for (int visited = 0;; ++visited) {
    page = FindPage(id);
    if (!page) page = CreatePage(id);
    if (!page || visited > 64) AfxThrowNotSupportedException();
    if (page->ShouldShow()) break;
    id = backwards ? page->GetPreviousPageId() : page->GetNextPageId();
    if (id == CWizardPage::kEndOfProgram) {
      ShowPage(id, backwards);
      return;
    }
  }

  if (!backwards && page->GetPreviousPageId() == 0) page->SetPreviousPageId(previousId);
  g_currentPage = page;

  if (!page->m_hWnd) {
    if (!page->CreatePageWindow()) AfxThrowResourceException();
    page->UpdateWindow();
  } else {
    page->ShowWindow(SW_SHOW);
  }

  // Showing the page that is already current must not hide it.
  if (previous && previous != page) {
    previous->SetHiddenOnce();
    if (previous->m_hWnd) previous->ShowWindow(SW_HIDE);
  }
}

void DestroyAllPages() {
  g_currentPage = nullptr;
  // Take the pages out of the map first: a page's destruction must not
  // find itself (or the others) still listed.
  auto pages = std::move(PageMap());
  PageMap().clear();
  pages.clear();
}
