// Navigation of the setup wizard: the pages by id, the page shown now, and
// the one way pages change.
#pragma once

#include <windows.h>

#include <memory>

class CWizardPage;

// Posted by a page to itself when its window has been created; the page
// runner then does the page's work.
constexpr UINT WM_PAGEWORK = WM_USER + 201;

// Shows page id (finding or creating it, passing over pages that do not
// want to be shown, going by their previous ids when backwards) and hides
// the page shown before. id -1 ends the program: the main window is
// destroyed.
void ShowPage(int id, bool backwards);
// The created page of that id, or null.
CWizardPage* FindPage(int id);
// Creates the page of that id with its fixed successor; null for an id
// that is no page.
CWizardPage* CreatePage(int id);
// Hands a new page to the page map, which owns it until DestroyAllPages;
// returns it. When the map already holds a page of that id, the new one is
// dropped and the existing one returned.
CWizardPage* AdoptPage(std::unique_ptr<CWizardPage> page);
// The page shown last, or null.
CWizardPage* GetCurrentPage();
// Destroys every created page (at the end of the program).
void DestroyAllPages();
