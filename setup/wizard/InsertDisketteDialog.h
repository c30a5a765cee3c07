// CInsertDisketteDialog ("Insert Diskette", 113): asks for the diskette that
// holds a file the setup program cannot find. It names the diskette by its
// label (or its number) and the drive; unfolded with More>> it explains
// what is missing and lets the user type or browse for another directory.
// OK closes it only when the file is in the directory given; otherwise the
// caption flashes, a beep sounds and the dialog stays.
#pragma once

#include <string>

#include "framework/PackedIcon.h"
#include "setup/errors/ExpandingDialog.h"
#include "setup/paths/PathName.h"

class CInsertDisketteDialog : public CExpandingDialog {
public:
  // expectedPath: the file in the current source directory; label: the
  // label of disketteNumber, empty when it has none (the number is shown).
  CInsertDisketteDialog(const CPathName& expectedPath, int disketteNumber, const std::string& label,
                        CWnd* parent = nullptr);

  // The directory the user has pointed to (after IDOK: where the file is).
  const std::string& GetDirectoryText() const { return directoryText_; }
  // The texts of the prompt and the explanation.
  const std::string& GetPrompt() const { return prompt_; }
  const std::string& GetExplanation() const { return explanation_; }

  // The directory with the file name appended, as OK looks for it.
  static CPathName Candidate(const std::string& directory, const std::string& fileName);

  // Not shown, nobody can insert the diskette: Cancel. Described with the
  // prompt (the diskette's label) and the file that is missing.
  std::string Describe() const override { return "Insert Diskette: " + prompt_ + " " + explanation_; }

protected:
  BOOL OnInitDialog() override;
  BOOL OnCommand(UINT id, UINT code, HWND control) override;
  void DoDataExchange(CDataExchange& dx) override;
  void OnOK() override;

private:
  void OnBrowse();

  std::string directoryText_;  // edit 1001
  int disketteNumber_;
  CPathName expectedPath_;
  std::string prompt_;
  std::string explanation_;
  CPackedIcons icons_;  // the window is gone before this: the dialog is modal
};
