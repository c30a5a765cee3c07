// Navigation of the setup wizard: the pages by id, the page shown now, and
// the one way pages change.
#pragma once

#include <windows.h>

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
// The page shown last, or null.
CWizardPage* GetCurrentPage();
// Destroys every created page (at the end of the program).
void DestroyAllPages();
