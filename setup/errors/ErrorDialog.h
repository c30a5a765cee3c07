// CErrorDialog: the "Warning" dialog through which every error is shown.
// Above the fold: the system icon, the caller's message, the exception's
// short text and the buttons; below it, after More>>: the exception's long
// text under "Further Information:" and the error-information line
// ("%d.%d (%s)": message id, error code, class name).
//
// Normally built and run by ReportException (ErrorReport.h); the members
// are set before the dialog is created and shown as they stand.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Gdi.h"
#include "setup/errors/ExpandingDialog.h"

class CErrorDialog : public CExpandingDialog {
public:
  // The owner is the application's main window when parent is null.
  explicit CErrorDialog(CWnd* parent = nullptr);
  ~CErrorDialog() override;

  int messageId = 0;    // string id of the caller's message format
  int helpContext = 0;  // -1 hides the Help button
  std::string message;
  std::string shortText;
  std::string longText;
  std::string errorInformation;
  BOOL allowContinue = FALSE;  // OK and Cancel read "Continue Operation" / "Cancel Operation"
  LPCSTR icon = IDI_EXCLAMATION;  // a system icon id

  // Not shown, nobody can say to go on: Cancel ("Cancel Operation"). The
  // description holds all the dialog shows: the message, the short and the
  // long text and the error-information line.
  INT_PTR UnattendedResult() const override { return IDCANCEL; }
  std::string Describe() const override;
  std::string DescribeResult(INT_PTR result) const override;

protected:
  // Fills the controls, folds, labels or hides the buttons, gives the long
  // text and the error-information line the small font and centres the
  // dialog over its owner.
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange& dx) override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  // The long text reads as part of the dialog face.
  HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;

private:
  // The application's help at helpContext; "Failed to launch help." when
  // it cannot be opened.
  void OnHelp();

  CBrush faceBrush_;
  CFont smallFont_;  // Arial 8 points, for the long text and the error-information line
};
