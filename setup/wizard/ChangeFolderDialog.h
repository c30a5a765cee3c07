// CChangeFolderDialog ("Change Folder", 138): a folder picker made of the
// common Save As dialog: the user walks its directory and drive lists, and
// the directory it shows is the choice.
#pragma once

#include <string>

#include "setup/wizard/FolderChoice.h"
#include "framework/FileDialog.h"

class CChangeFolderDialog : public CFileDialog {
public:
  explicit CChangeFolderDialog(CWnd* parent = nullptr);

  // Lets the user choose a folder, starting at path, or at its nearest
  // existing ancestor when path does not exist. An empty path is refused
  // with a message before any dialog shows. On OK path becomes the chosen
  // folder; otherwise it stays. verify, editable and ask as for the Select
  // Folder dialog, except that a folder created to prove it can be made
  // stays.
  void ChooseFolder(std::string& path, CFolderChoice choice);

  // path, or its nearest ancestor that exists; empty when none does.
  static std::string NearestExistingDirectory(const std::string& path);

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DoDataExchange(CDataExchange& dx) override;
  bool OnFileNameOK() override;

private:
  // Takes the directory the common dialog shows as the path.
  void TakeShownDirectory();

  std::string path_;      // edit 1002
  std::string pathText_;  // static 1034
  int initialised_ = 0;
  int verify_ = 0;
  int editable_ = 0;
  int ask_ = 0;
};
