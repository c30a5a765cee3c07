// CExpandingDialog: a dialog that opens folded to a smaller size and
// unfolds to its designed size with its More button.
//
// The template must contain the More button IDC_MORE ("&More>>") and the
// invisible marker control IDC_FOLD_MARKER, whose right and bottom edges
// give the size of the folded client area. Controls that lie (partly)
// outside the folded area are disabled while folded, so that the keyboard
// cannot reach what the user cannot see, and enabled again when unfolded.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"

class CExpandingDialog : public CDialog {
public:
  explicit CExpandingDialog(UINT templateId, CWnd* parent = nullptr);

  bool IsExpanded() const { return expanded_ != 0; }

protected:
  // The base initialisation, then the designed size is remembered and the
  // dialog folds (the More button's text stays as designed).
  BOOL OnInitDialog() override;
  // IDC_MORE: OnMore.
  BOOL OnCommand(UINT id, UINT code, HWND control) override;

  // Folds when unfolded, unfolds when folded; resizes without moving and
  // disables (folding) or enables (unfolding) the controls outside the
  // folded area.
  void Toggle();
  // Toggles and turns the first ">>" of the More button's text into "<<"
  // when now unfolded, or the first "<<" into ">>" when now folded.
  virtual void OnMore();

private:
  int expanded_ = 1;
  RECT fullWindowRect_{};  // screen coordinates, as designed
};
