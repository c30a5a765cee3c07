// CDialog: modal and modeless dialogs from a resource template, with simple
// data exchange between members and controls (DoDataExchange / UpdateData).
#pragma once

#include <string>

#include "framework/Wnd.h"

class CDialog;

// Direction and target of one UpdateData call.
class CDataExchange {
public:
  CDataExchange(CDialog* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
  HWND PrepareCtrl(int id) const;

  CDialog* m_pDlgWnd;
  bool m_bSaveAndValidate;  // true: controls -> members
};

// Text of an edit or static control <-> a string member.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// Check state of a check box <-> an int member (0, 1, 2).
void DDX_Check(CDataExchange& dx, int id, int& value);

class CDialog : public CWnd {
public:
  explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
  ~CDialog() override;

  // Runs the dialog modally through the application (CWinApp::DoModalDialog,
  // which may answer it without showing it); returns the EndDialog result,
  // or -1 when the dialog cannot be created.
  virtual INT_PTR DoModal();
  // Shows the dialog and runs it modally, whoever asks.
  INT_PTR RunModal();

  // For a run with nobody at the screen: the result the dialog stands for
  // when it is not shown (the default is IDCANCEL), what it would have
  // asked or told, in one line, and the name of a result.
  virtual INT_PTR UnattendedResult() const { return IDCANCEL; }
  virtual std::string Describe() const;
  virtual std::string DescribeResult(INT_PTR result) const;
  // Creates the dialog modeless. With no parent the main window owns it.
  virtual bool Create(UINT templateId = 0, CWnd* parent = nullptr);
  void EndDialog(int result);
  bool DestroyWindow() override;

  // Moves data between the controls and the members (DoDataExchange).
  bool UpdateData(bool saveAndValidate = true);

  bool IsModal() const { return modal_; }
  UINT GetTemplateId() const { return m_templateId; }
  // The caption the dialog's template gives it, as its window would show
  // it before anything changed it; empty when there is no template or no
  // caption. Needs no window.
  std::string TemplateCaption() const;

  static INT_PTR CALLBACK StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

protected:
  // The base fills the controls from the members; return TRUE to let the
  // system set the focus.
  virtual BOOL OnInitDialog();
  // IDOK: members from the controls, then ends (modal) or destroys (modeless).
  virtual void OnOK();
  // IDCANCEL: ends (modal) or destroys (modeless).
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange& dx);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;

  UINT m_templateId;
  CWnd* m_pParentWnd;

private:
  HWND OwnerWindow(CWnd* parent) const;
  bool modal_ = false;
};
