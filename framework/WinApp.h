// CWinApp: the one application object of a program. WinMain (in
// AppEntry.cpp) runs InitInstance, the message loop and ExitInstance.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Gdi.h"

class CDialog;
class CException;
class CWnd;

class CWinApp {
public:
  // appTitle: the caption of the program's message boxes.
  explicit CWinApp(std::string appTitle = {});
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // Start-up; false ends the program at once (the main window, if any, is
  // destroyed and ExitInstance still runs).
  virtual BOOL InitInstance();
  // The message loop; returns ExitInstance's result when WM_QUIT arrives.
  virtual int Run();
  // Shutdown; returns the program's exit code (the WM_QUIT code).
  virtual int ExitInstance();
  // An exception escaped a window procedure (msg may be null when it came
  // from elsewhere). Returns the result of that message. The default shows
  // the exception's description in a message box.
  virtual LRESULT ProcessWndProcException(CException& e, const MSG* msg);
  // Gives modeless dialogs their keyboard handling (Tab, Enter, Esc).
  virtual BOOL PreTranslateMessage(MSG* msg);

  // Every message box (AfxMessageBox) and modal dialog (CDialog::DoModal)
  // of the program passes through here. The defaults show them; an
  // application may also note what was asked and answered, or, run with
  // nobody at the screen, answer them itself without showing anything.
  // caption null: the application's title.
  virtual int DoMessageBox(const std::string& text, UINT type, const char* caption);
  virtual INT_PTR DoModalDialog(CDialog& dialog);

  // Handles one message from the queue the way Run does; false on WM_QUIT
  // (which is then left for the caller to deal with).
  bool DispatchOne(MSG& msg);

  // Colours of dialogs and their static controls.
  void SetDialogBkColor(COLORREF background, COLORREF text);
  bool HasDialogColors() const { return dialogBrush_.GetSafeHandle() != nullptr; }
  HBRUSH GetDialogBrush() const { return dialogBrush_; }
  COLORREF GetDialogBkColor() const { return dialogBkColor_; }
  COLORREF GetDialogTextColor() const { return dialogTextColor_; }

  // Entered from WinMain.
  int WinMainEntry(HINSTANCE instance, const char* commandLine, int showCmd);

  HINSTANCE m_hInstance = nullptr;
  std::string m_lpCmdLine;  // the command line after the program name
  int m_nCmdShow = SW_SHOWNORMAL;
  CWnd* m_pMainWnd = nullptr;
  std::string m_title;
  int m_exitCode = 0;

private:
  CWinApp* previousApp_;
  CBrush dialogBrush_;
  COLORREF dialogBkColor_ = 0;
  COLORREF dialogTextColor_ = 0;
};

// The application object; null when none was constructed.
CWinApp* AfxGetApp();

// Message boxes captioned with the application's title, owned by the
// active window of the application.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
int AfxMessageBox(UINT stringId, UINT type = MB_OK);
