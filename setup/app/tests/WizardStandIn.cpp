// Stands in for the wizard's navigation while the wizard is not part of the
// build: the application's start-up and shutdown only call these.
#include "setup/wizard/Wizard.h"

void ShowPage(int, bool) {}
void DestroyAllPages() {}
