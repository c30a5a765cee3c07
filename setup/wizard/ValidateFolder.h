// The OK rule of the folder selection dialogs.
#pragma once

#include <string>

// Whether a folder dialog may close with OK on path: the path is not empty
// and names an existing directory, or one that the user agrees to create
// (asked only when ask is set) and that can be created. Every refusal has
// been shown in a message box. With removeCreated the directory made to
// prove that it can be made is removed again (its last level only).
bool ValidateFolder(const std::string& path, bool ask, bool removeCreated);

// Shows the message that a path may not be empty.
void ShowEmptyPathMessage();
