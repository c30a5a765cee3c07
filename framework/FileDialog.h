// CFileDialog: the common Open / Save As dialog run modally, with its own
// template when asked. The object is attached to the dialog through the
// dialog's hook, so a derived class handles the dialog's messages like any
// CDialog's (OnInitDialog, OnCommand, data exchange); what it does not
// handle gets the common dialog's own processing.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "framework/Dialog.h"

class CFileDialog : public CDialog {
public:
  // filter: "text|pattern|...|" pairs, '|' separated; defaultExt and
  // fileName may be null. OFN_ENABLEHOOK is always added.
  CFileDialog(bool openFileDialog, const char* defaultExt, const char* fileName, DWORD flags, const char* filter,
              CWnd* parent = nullptr);

  // IDOK when the user chose, IDCANCEL otherwise.
  INT_PTR DoModal() override;
  std::string GetPathName() const { return fileName_; }

  OPENFILENAMEA m_ofn{};

protected:
  // The user pressed OK; return false to keep the dialog open. Called
  // before the common dialog looks at the file name.
  virtual bool OnFileNameOK() { return true; }
  // The Cancel and OK buttons belong to the common dialog.
  BOOL OnCommand(UINT id, UINT code, HWND control) override;

  std::string initialDir_;  // empty: the common dialog's choice

private:
  static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

  bool open_;
  std::string filter_;       // with '\0' separators
  std::string defaultExt_;
  char fileName_[MAX_PATH] = {};
};
