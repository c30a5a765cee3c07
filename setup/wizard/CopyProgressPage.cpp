#include "setup/wizard/CopyProgressPage.h"

#include <algorithm>

#include "framework/FormatText.h"
#include "framework/WinApp.h"
#include "setup/wizard/SetupState.h"
#include "setup/archive/SourceMedia.h"
#include "setup/errors/ErrorReport.h"
#include "setup/profile/InstallModel.h"
#include "setup/system/SystemActions.h"
#include "setup/install/InstallSelectedFiles.h"
#include "setup/profile/FileEntry.h"
#include "setup/log/InstallLogWriter.h"
#include "setup/wizard/BillboardSequence.h"
#include "setup/wizard/Gauge.h"
#include "setup/wizard/KitProduct.h"
#include "framework/PlaceWindow.h"
#include "framework/PumpMessages.h"

CCopyProgressPage::CCopyProgressPage()
    : CWizardPage(IDD_COPY_PROGRESS),
      gauge_(std::make_unique<CGauge>(0, 99)),
      billboards_(std::make_unique<CBillboardSequence>()) {}

CCopyProgressPage::~CCopyProgressPage() = default;

BOOL CCopyProgressPage::OnInitDialog() {
  CWizardPage::OnInitDialog();
  PlaceWindow(m_hWnd, 5, 7, 3, 5, nullptr);
  // The gauge takes the place of the frame that marks it in the template.
  if (HWND frame = GetDlgItem(IDC_GAUGE)) {
    RECT rect;
    ::GetWindowRect(frame, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    ::DestroyWindow(frame);
    gauge_->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, rect, this, IDC_GAUGE);
  }
  return TRUE;
}

void CCopyProgressPage::PointTargetsIntoSource(CSetupState& app) {
  for (const auto& entry : app.model->targets) {
    CTarget& target = *entry.target;
    const bool isProduct = ::lstrcmpiA(target.key.c_str(), app.programFile.c_str()) == 0;
    CPathName path = app.model->destinations.GetPath(isProduct ? 0 : 1);
    path.SetFileName(target.key);
    target.programPath = path;
  }
}

bool CCopyProgressPage::CopyGoesOn() const noexcept { return copying_ && copying_->installSucceeded; }

void CCopyProgressPage::EntryStarting(const CFileEntry& entry, std::uint32_t copyBytesDone) {
  completedBytes_ = copyBytesDone;
  sourceName_ = entry.GetFileName();
  // Thousands of small plain files pass faster than the page can show each
  // (under Wine an update costs about a third of a millisecond, more than
  // copying such a file): the file before and a plain file's name wait for
  // the next update, as a file's progress does. Both show at once when an
  // update is due, when a diskette may be asked for next (the copy may
  // wait), and for an archive, which takes longer.
  const bool otherDiskette = entry.GetDisketteNumber() != sourceDiskette_;
  sourceDiskette_ = entry.GetDisketteNumber();
  if (entry.kind == CFileEntry::archive || otherDiskette || lastUpdate_.IntervalPassed(::GetTickCount())) {
    ShowFinishedTransfer();
    UpdateWindow();
  }
}

void CCopyProgressPage::SetFieldText(int id, std::string& shown, const std::string& text) {
  if (shown == text) return;
  shown = text;
  SetDlgItemText(id, shown);
}

void CCopyProgressPage::ShowSourceName() { SetFieldText(IDC_SOURCE_FILE, shownSource_, sourceName_); }

void CCopyProgressPage::Tick(const CCopyProgress& progress) {
  if (CopyGoesOn()) OnProgress(progress);
}

bool CCopyProgressPage::OnProgress(const CCopyProgress& progress) {
  if (!lastUpdate_.Pass(::GetTickCount())) return false;
  finishedPending_ = false;

  PumpNow();
  const std::uint32_t size = progress.fileSize;
  const std::uint64_t percent = size == 0 ? 100 : std::min<std::uint64_t>(std::uint64_t{progress.fileBytesDone} * 100 / size, 100);
  Show(progress.copyBytesDone, progress.path.GetFileName(), static_cast<int>(percent));
  return true;
}

void CCopyProgressPage::Show(std::uint32_t done, const std::string& fileName, int percent) {
  if (showPictures_) billboards_->UpdateBillboard(done);
  ShowSourceName();
  gauge_->SetPos(done, true);
  char text[MAX_PATH + 16];
  FormatText(text, sizeof text, "%s (%d%%)", fileName.c_str(), percent);
  SetFieldText(IDC_DESTINATION_FILE, shownDestination_, text);
  // Already on top, the page needs no raising (which costs as much as the
  // rest of an update).
  if (::GetTopWindow(nullptr) != m_hWnd) ::BringWindowToTop(m_hWnd);
}

void CCopyProgressPage::ShowFinishedTransfer() {
  if (!finishedPending_) {
    ShowSourceName();
    return;
  }
  finishedPending_ = false;
  lastUpdate_.PassAnyway(::GetTickCount());
  PumpNow();
  Show(completedBytes_, finishedName_, 100);
}

void CCopyProgressPage::FileDone(const CCopyProgress& progress) {
  // The finished file is shown whole now when an update is due, else by
  // the next update or before the copy waits.
  if (CopyGoesOn() && !OnProgress(progress)) {
    finishedName_ = progress.path.GetFileName();
    finishedPending_ = true;
  }
  completedBytes_ = progress.copyBytesDone;
}

void CCopyProgressPage::PumpMessages() {
  if (lastPump_.IntervalPassed(::GetTickCount())) PumpNow();
}

bool CCopyProgressPage::StopRequested() {
  PumpMessages();
  return !CopyGoesOn();
}

void CCopyProgressPage::PumpNow() {
  lastPump_.PassAnyway(::GetTickCount());
  ::PumpMessages();
}

bool CCopyProgressPage::AskContinueAfterError(const CException& e, const std::string& entryFileName) {
  ShowFinishedTransfer();
  return ::AskContinueAfterError(IDS_CANNOT_INSTALL_FILES, e, entryFileName);
}

CopyStop CCopyProgressPage::CopySelectedFiles(CSetupState& app, CInstallLogWriter& log) {
  CInstallModel& model = *app.model;
  const auto total = static_cast<std::uint32_t>(model.files.RequiredSpace(0, false));
  // A page without its window (a silent run has none) shows nothing at
  // all, not even out of sight.
  const bool seen = m_hWnd != nullptr;
  showPictures_ = seen;
  if (showPictures_ && app.product.named) {
    std::vector<std::vector<unsigned char>> pictures;
    for (const std::string& name : app.product.billboards) {
      std::vector<unsigned char> dib = ReadKitPicture(app.profilePath, app.sourceMedia->GetSeal(), name, app.verboseLog);
      if (!dib.empty()) pictures.push_back(std::move(dib));
    }
    billboards_->UsePictures(std::move(pictures));
  }
  if (seen) {
    if (showPictures_) billboards_->StartBillboards(total, app.batchMode);
    gauge_->SetRange(1, total);
    gauge_->SetPos(0, false);
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) ::UpdateWindow(main->m_hWnd);
    ::BringWindowToTop(m_hWnd);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
  }

  // What earlier runs recorded, before this run's records join it: an
  // installation over an earlier one names the files this kit no longer
  // ships.
  const std::vector<CLoggedFile> earlier = ReadLoggedFiles(app.InstallLog().Text());
  // Before the first file: the sections a removal needs, so that a run
  // ended at any point can be removed.
  log.BeginRun(model);
  // A kit without a seal installs as kits always did; the log says that
  // nothing of it was checked.
  if (!app.sourceMedia->GetSeal()) {
    log.Event("Kit not checked: it has no seal (%s)", CKitSeal::kFileName);
    app.verboseLog.Write("The kit has no seal (%s): its files are not checked.", CKitSeal::kFileName);
  }
  CQuietInstallDisplay unseen;
  CInstallDisplay& display = seen ? static_cast<CInstallDisplay&>(*this) : unseen;
  CInstallContext context{*app.sourceMedia, model.destinations, model.targets, log, display, *this, {}, app.verboseLog};
  if (app.transaction.IsActive()) context.transaction = &app.transaction;
  copying_ = &app;
  const CInstallOutcome outcome = InstallSelectedFiles(model.files, context);
  if (outcome.restartNeeded) app.rebootNeeded = true;
  if (outcome.Stopped()) {
    copying_ = nullptr;
    // The files placed so far are in the log; with the destinations and
    // groups beside them a removal can find them again. No shortcut was
    // made, so the program items are not written.
    log.WriteModelOfStoppedCopy(model);
    return outcome.stop;
  }
  ShowFinishedTransfer();
  copying_ = nullptr;
  app.installedKiB = context.runFiles.TotalKiB();
  ReportFilesNotShipped(app, log, context.runFiles.NotShipped(earlier, model.groups));
  return CopyStop::none;
}

void CCopyProgressPage::ReportFilesNotShipped(CSetupState& app, CInstallLogWriter& log,
                                              const std::vector<CLoggedFile>& files) {
  for (const CLoggedFile& file : files) {
    // A file that is gone by now is left nowhere.
    if (!file.path.IsEmpty() && !file.path.Exists()) continue;
    const std::string& name = file.path.IsEmpty() ? file.name : file.path.GetPath();
    log.Event("Not in this kit, left in place: %s", name.c_str());
    app.verboseLog.Write("Not in this kit, left in place: %s (an earlier installation installed it; a removal "
                         "deletes it).",
                         name.c_str());
  }
}

bool CCopyProgressPage::NameProgramItemFiles(CSetupState& app) {
  if (!app.transaction.IsActive()) return true;
  try {
    for (const CPathName& link : app.System().ProgramItemFiles(app.model->targets, app.model->programFolder)) {
      app.transaction.FileToBeWritten(link);
    }
    return true;
  } catch (...) {
    // The shortcuts could not be named to be undone: they are not made,
    // and the run fails.
    AfxTranslateCurrentException([&app](CException& e) {
      app.verboseLog.Write("The shortcuts cannot be made: %s", e.GetErrorMessage().c_str());
      return false;
    });
    app.RecordFailure(FailureCause::error);
    return false;
  }
}

int CCopyProgressPage::DoPageWork() {
  CSetupState& app = State();
  CInstallLogWriter log(app.InstallLog());
  // For a product the kit names, the removal learns from [Product] which
  // product it removes; the log's first save (or, run from the source,
  // its only one) takes it along.
  if (app.product.named) app.InstallLog().Edit().ReplaceSection(CProductIdentity::kSection, app.product.Records());
  if (app.runFromSource) {
    PointTargetsIntoSource(app);
  } else if ((copyStop_ = CopySelectedFiles(app, log)) != CopyStop::none) {
    // A diskette not given ends the run by the user's choice; "Cancel
    // Operation" after an error is a failed run. A copy stopped from
    // outside has had its cause recorded there.
    // In a silent run nobody chose anything: a diskette that is not there
    // is a failure like any other.
    if (copyStop_ != CopyStop::requested) {
      const bool usersChoice = copyStop_ == CopyStop::userCancelled && !app.silentMode;
      app.RecordFailure(usersChoice ? FailureCause::user : FailureCause::error);
    }
    return kFailedPage;
  }
  const CInstallModel& model = *app.model;
  // The items are in the log before they are made: a run ended while they
  // are made leaves none that a removal does not find.
  log.WriteProgramItems(model);
  if (!NameProgramItemFiles(app)) return kFailedPage;
  app.System().CreateProgramItems(model.targets, model.programFolder, model.destinations.GetPath(0), app.verboseLog);
  log.WriteModel(model);
  if (!app.runFromSource) billboards_->CloseBillboard();
  return GetNextPageId();
}
