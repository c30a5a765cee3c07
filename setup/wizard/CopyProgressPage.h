// CCopyProgressPage (108): writes what a removal needs into the install log
// (destinations, groups, the program group), then copies the selected
// files of the installation while it shows their names, a gauge over all
// bytes to be copied and the billboard pictures; then creates the
// shortcuts and writes the rest of the data model into the log (after a
// stopped copy, none of it). An installation over an earlier one names the
// files the earlier ones left that this kit does not ship. When the product runs from the distribution
// nothing is copied: the shortcuts point into it. The page has no buttons,
// and neither Enter nor Esc does anything while it works.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "setup/resources/ResourceIds.h"
#include "setup/install/InstallDisplay.h"
#include "setup/install/InstallOutcome.h"
#include "setup/install/InstallPolicy.h"
#include "setup/install/RunFiles.h"
#include "setup/wizard/DisplayGate.h"
#include "setup/wizard/WizardPage.h"

class CSetupState;
class CBillboardSequence;
class CGauge;
class CInstallLogWriter;

// The page is the copy engine's policy and, when it has its window, its
// display: it shows the progress the engine's ticks carry, pumps messages
// between transfers, stops the copy once the run was ended from outside,
// and asks the Continue / Cancel question. It alone records a failure of
// the copy in the run's state. A silent run copies with no window and no
// display.
class CCopyProgressPage : public CWizardPage, public CInstallDisplay, public CInstallPolicy {
public:
  // At most this often the page updates what it shows during a copy:
  // often enough to look continuous, rarely enough to cost little beside
  // the copy. A file that ends sooner after the last update is shown whole
  // by the next update, or before the copy can wait (a diskette asked for,
  // an error question, the end of the copy), whichever comes first: what
  // the page shows is never older than that.
  static constexpr DWORD kUpdateIntervalMs = CDisplayGate::kIntervalMs;

  CCopyProgressPage();
  ~CCopyProgressPage() override;

  // The successor (1549), or the failure page when the copy ended early.
  int DoPageWork() override;

  // Gives every shortcut the path of its program where the distribution
  // holds it: the product program in destination 0, the others in
  // destination 1.
  static void PointTargetsIntoSource(CSetupState& app);

  // Brings what is shown up to date before the entry (a diskette may be
  // asked for next) and names its source file.
  void EntryStarting(const CFileEntry& entry, std::uint32_t copyBytesDone) override;
  // The copy engine's tick every 4096 bytes read: while the run has not
  // failed and this page is showing a copy, OnProgress.
  void Tick(const CCopyProgress& progress) override;
  void FileDone(const CCopyProgress& progress) override;
  // Brings the display up to date with the file being produced: lets
  // waiting messages through, moves the billboards and the gauge on, shows
  // the destination file with its percentage and keeps the page on top.
  // Within kUpdateIntervalMs of the last update it does nothing. True when
  // it updated.
  bool OnProgress(const CCopyProgress& progress);
  // The engine's question between transfers: PumpMessages, then whether
  // the run has failed (the background window's close question answered
  // Yes while messages were pumped).
  bool StopRequested() override;
  bool AskContinueAfterError(const CException& e, const std::string& entryFileName) override;

  // Lets waiting messages through unless that was done within
  // kUpdateIntervalMs (a pump costs a round trip to the window system, as
  // much as a small file).
  void PumpMessages();

  // Why the copy ended early (none when it went through).
  CopyStop GetCopyStop() const noexcept { return copyStop_; }

  // For tests and pictures.
  std::uint32_t GetCompletedBytes() const noexcept { return completedBytes_; }
  CGauge* GetGauge() const noexcept { return gauge_.get(); }
  const CBillboardSequence& GetBillboards() const noexcept { return *billboards_; }

protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

private:
  // Copies the selected files in list order until the engine says to stop;
  // records in the state that a file waits for the restart. Returns why the
  // copy stopped (none when it went through).
  CopyStop CopySelectedFiles(CSetupState& app, CInstallLogWriter& log);
  // After a copy that went through: names the files that earlier
  // installations recorded and this kit does not ship (they stay, and a
  // removal deletes them) in [Events] and the verbose log.
  static void ReportFilesNotShipped(CSetupState& app, CInstallLogWriter& log, const std::vector<CLoggedFile>& files);
  // In a silent installation, names the shortcut files about to be written
  // in its rollback journal. False when they cannot be named: the run has
  // failed.
  static bool NameProgramItemFiles(CSetupState& app);
  // Shows a file that ended since the last update whole, if any, and the
  // entry's name when it is not shown yet.
  void ShowFinishedTransfer();
  // Sets the source field to the current entry's name, unless it shows it.
  void ShowSourceName();
  // Sets field id to text unless shown, its text, is that already (each
  // text set costs a redraw).
  void SetFieldText(int id, std::string& shown, const std::string& text);
  // The display's work: messages, billboard, gauge at done bytes, the
  // source and destination texts, the page on top.
  void Show(std::uint32_t done, const std::string& fileName, int percent);
  // Lets waiting messages through now.
  void PumpNow();
  // A copy is running and has not failed or been cancelled.
  bool CopyGoesOn() const noexcept;

  std::unique_ptr<CGauge> gauge_;
  std::unique_ptr<CBillboardSequence> billboards_;
  bool showPictures_ = true;  // not without the page's window
  std::uint32_t completedBytes_ = 0;
  CopyStop copyStop_ = CopyStop::none;
  // Between the start of the copy and its end: the run's state, whose
  // success is read on every tick.
  const CSetupState* copying_ = nullptr;
  CDisplayGate lastUpdate_;
  CDisplayGate lastPump_;
  std::string shownDestination_;  // the destination field's text, set only when it changes
  std::string sourceName_;        // the entry being installed
  std::string shownSource_;       // the source field's text, set only when it changes
  int sourceDiskette_ = 0;        // the diskette of the entry before
  std::string finishedName_;       // the file that ended since the last update
  bool finishedPending_ = false;   // ... and is not shown whole yet
};
