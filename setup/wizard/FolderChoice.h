// CFolderChoice: how a folder dialog (Select Folder, Change Folder) lets
// the user choose, by name at the call: ChooseFolder(path, {.verify = true,
// .editable = true, .ask = true}).
#pragma once

struct CFolderChoice {
  bool verify = false;    // on OK the folder must exist or be creatable
  bool editable = false;  // the path can be typed
  bool ask = false;       // ask before a missing folder is created
};
