// progress_bench KIT TARGET: what the copy page's progress display costs.
// Installs the kit whose first folder (with _setupx.ini) is KIT into the
// folder TARGET with the copy engine the setup program uses, two ways,
// alternating, a few rounds:
//  - engine alone: the log is begun as the page begins it (the sections a
//    removal needs, the journal of the records), then the selected entries
//    go through the engine's loop (InstallSelectedFiles) with nobody
//    watching;
//  - page: the real copy page (108, a window of its own on a main window)
//    does its work as in the setup program, gauge, billboards, destination
//    text and all (its shortcuts and registrations touch nothing here).
// The two take turns in which goes first, and the display's cost is the
// median of each round's own difference (its share of the install, the
// median of each round's own share): the rounds of a run are minutes
// apart, and the machine's speed drifts more between them than between the
// two halves of one. A finished installation is moved aside, not deleted,
// before the next one (and all are deleted at the end): the file system
// reuses freshly freed inodes slowly, which would slow down whichever
// installation came right after a deletion. It also prints what each piece
// of one display update costs, and what updating on every 4096-byte tick
// would cost at that rate. Not a test: a measurement.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/FrameWnd.h"
#include "framework/PumpMessages.h"
#include "setup/app/SetupApp.h"
#include "setup/archive/SourceMedia.h"
#include "setup/install/InstallSelectedFiles.h"
#include "setup/install/InstallJob.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/system/SystemActions.h"
#include "setup/wizard/BillboardSequence.h"
#include "setup/wizard/CopyProgressPage.h"
#include "setup/wizard/Gauge.h"
#include "setup/wizard/Wizard.h"
#include "tools/bench/BenchClock.h"
#include "tools/bench/BenchFolder.h"

namespace {

constexpr int kRounds = 15;

// System actions that touch nothing: no shortcut, no registration, no
// restart is made by a benchmark.
class CNoSystemActions : public CSystemActions {
public:
  DWORD WindowsMajorVersion() override { return 5; }
  void StartProgramManager() override {}
  void CreateProgramItems(const CTargetTable&, const std::string&, const CPathName&, CVerboseLog&) override {}
  void RemoveProgramItems(const CTargetTable&, const std::string&, CVerboseLog&) override {}
  void RegisterProduct(const CPathName&, const CUninstallEntry&, const CTargetTable&, const CProductIdentity&,
                       CVerboseLog&) override {}
  void UnregisterProduct(const CPathName&, const CProductIdentity&, CVerboseLog&) override {}
  bool RestartWindows() override { return false; }
};

// The setup program's application object, with system actions that touch
// nothing.
class CBenchApp : public CSetupApp {
public:
  CBenchApp() : CSetupApp(std::make_unique<CNoSystemActions>()) {
    m_title = "Veltrane Setup";
    SetProduct(CProductIdentity::Builtin());
  }
};

// Nobody watches and nobody stops the copy: the engine's own cost.
class CUnattended : public CInstallPolicy {
public:
  bool StopRequested() override { return false; }
  bool AskContinueAfterError(const CException& e, const std::string& fileName) override {
    std::fprintf(stderr, "progress_bench: %s: %s\n", fileName.c_str(), e.GetErrorMessage().c_str());
    return false;
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

class CBench {
public:
  CBench(std::string kit, std::string target) : kit_(std::move(kit)), target_(std::move(target)) {}
  ~CBench() { DeleteRetired(); }
  CBench(const CBench&) = delete;
  CBench& operator=(const CBench&) = delete;

  int Run() {
    app_.sourceDir = CPathName(kit_ + "\\");
    app_.logPath = log_;
    app_.model = std::make_unique<CInstallModel>("Veltrane");
    CInstallModel& model = *app_.model;
    model.Load(CPathName(kit_ + "\\_setupx.ini"));
    model.destinations.SetPath(0, target_);
    model.destinations.Resolve();
    model.groups.SelectBySetupType(2);
    total_ = static_cast<std::uint32_t>(model.files.RequiredSpace(0, false));
    if (!mainWindow_.Create(nullptr, "Veltrane Setup", WS_POPUP | WS_VISIBLE, RECT{0, 0, 800, 600})) return 2;
    app_.m_pMainWnd = &mainWindow_;

    std::vector<double> engine, page, differences, shares;
    for (int round = 0; round < kRounds; ++round) {
      double alone = 0, shown = 0;
      const bool pageFirst = round % 2 == 1;
      if (pageFirst && !InstallWithPage(shown)) return 1;
      if (!InstallAlone(alone)) return 1;
      if (!pageFirst && !InstallWithPage(shown)) return 1;
      engine.push_back(alone);
      page.push_back(shown);
      differences.push_back(shown - alone);
      shares.push_back((shown - alone) / shown);
    }
    DeleteRetired();
    const double alone = Median(engine), shown = Median(page);
    std::printf("progress_bench: %.1f MiB in %zu entries, %d rounds, each taking turns in which goes first\n",
                total_ / 1048576.0, model.files.size(), kRounds);
    std::printf("  engine alone %.3f s (%.3f-%.3f), copy page %.3f s (%.3f-%.3f)\n", alone,
                *std::min_element(engine.begin(), engine.end()), *std::max_element(engine.begin(), engine.end()), shown,
                *std::min_element(page.begin(), page.end()), *std::max_element(page.begin(), page.end()));
    const double share = Median(shares);
    std::printf("  progress display, the median of the rounds: %.3f s, %.1f %% of the install (%.1f-%.1f %%; target"
                " under 10 %%) %s\n",
                Median(differences), share * 100, *std::min_element(shares.begin(), shares.end()) * 100,
                *std::max_element(shares.begin(), shares.end()) * 100, share < 0.10 ? "ok" : "OVER");
    PrintPartCosts(Median(differences), shown);
    mainWindow_.DestroyWindow();
    app_.m_pMainWnd = nullptr;
    return 0;
  }

private:
  // What each part of one update costs on the page, per call, and what the
  // display costs besides the pictures.
  void PrintPartCosts(double display, double shown) {
    CCopyProgressPage page;
    page.SetWizard(app_.Wizard());
    if (!page.CreatePageWindow()) return;
    MSG msg;
    while (::PeekMessageA(&msg, page.m_hWnd, WM_PAGEWORK, WM_PAGEWORK, PM_REMOVE)) {
    }
    page.GetGauge()->SetRange(1, 1000000);
    constexpr int kCalls = 1000;
    const auto perCall = [&](auto&& f) {
      const double t = Now();
      for (int i = 0; i < kCalls; ++i) f(i);
      return (Now() - t) / kCalls * 1e6;
    };
    const double pump = perCall([](int) { ::PumpMessages(); });
    const double gauge = perCall([&](int i) { page.GetGauge()->SetPos(static_cast<std::uint32_t>(i * 1000), true); });
    const double text = perCall([&](int i) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "file%04d.dat (%d%%)", i, i % 101);
      page.SetDlgItemText(IDC_DESTINATION_FILE, buffer);
    });
    const double top = perCall([&](int) { ::BringWindowToTop(page.m_hWnd); });
    // The pictures: shown at the start, at a third and two thirds, closed
    // at the end.
    constexpr int kSequences = 10;
    const double t = Now();
    for (int i = 0; i < kSequences; ++i) {
      CBillboardSequence billboards;
      billboards.StartBillboards(3);
      billboards.UpdateBillboard(1);
      billboards.UpdateBillboard(2);
      billboards.CloseBillboard();
    }
    const double pictures = (Now() - t) / kSequences;
    std::printf("  one update's parts, per call: messages pumped %.0f us, gauge %.0f us, destination text %.0f us,"
                " bring to top %.0f us\n", pump, gauge, text, top);
    std::printf("  the three billboard pictures of a copy, shown and closed: %.1f ms; the display without them"
                " %.3f s, %.1f %% of the install\n", pictures * 1e3, display - pictures, (display - pictures) / shown * 100);
    const double ticks = total_ / 4096.0;
    std::printf("  an update on every 4096-byte tick (%.0f ticks) would cost about %.2f s\n", ticks,
                ticks * (pump + gauge + text + top) / 1e6);
    page.DestroyWindow();
  }

  // Moves the previous installation aside, makes the target anew and
  // forgets the previous round's log.
  void Reset() {
    const std::string aside = target_ + ".done" + std::to_string(retired_.size());
    if (::GetFileAttributesA(target_.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ::MoveFileA(target_.c_str(), aside.c_str())) {
      retired_.push_back(aside);
    }
    DeleteTree(target_);  // what could not be moved
    ::CreateDirectoryA(target_.c_str(), nullptr);
    ::DeleteFileA(app_.logPath.c_str());
    // Each install begins a log of its own, read anew as a run reads it.
    app_.logPath = CPathName(target_ + ".log" + std::to_string(++installs_));
  }

  void DeleteRetired() {
    for (const std::string& folder : retired_) DeleteTree(folder);
    retired_.clear();
  }

  bool InstallAlone(double& seconds) {
    Reset();
    CQuietInstallDisplay display;
    CUnattended policy;
    CInstallModel& model = *app_.model;
    CInstallLog installLog(app_.logPath);
    CInstallLogWriter log(installLog);
    CInstallContext context{*app_.sourceMedia, model.destinations, model.targets, log, display, policy};
    bool succeeded = true;
    const double t = Now();
    // What the page's copy does besides its display: the log's sections
    // for a removal, and the journal of the records, before the first file.
    log.BeginRun(model);
    if (InstallSelectedFiles(model.files, context).Stopped()) succeeded = false;
    log.WriteModel(model);
    seconds = Now() - t;
    return succeeded;
  }

  bool InstallWithPage(double& seconds) {
    Reset();
    app_.installSucceeded = true;
    CCopyProgressPage page;
    page.SetWizard(app_.Wizard());
    if (!page.CreatePageWindow()) return false;
    // The page runner is not used here: the page's work is called below.
    MSG msg;
    while (::PeekMessageA(&msg, page.m_hWnd, WM_PAGEWORK, WM_PAGEWORK, PM_REMOVE)) {
    }
    const double t = Now();
    const int next = page.DoPageWork();
    seconds = Now() - t;
    page.DestroyWindow();
    return next == IDD_REGISTERING && app_.installSucceeded;
  }

  std::string kit_, target_;
  CBenchApp app_;
  CFrameWnd mainWindow_;
  CPathName log_{target_ + ".log"};
  int installs_ = 0;
  std::uint32_t total_ = 0;
  std::vector<std::string> retired_;  // installations moved aside
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: progress_bench KIT TARGET\n");
    return 2;
  }
  try {
    return CBench(argv[1], argv[2]).Run();
  } catch (CException& e) {
    std::fprintf(stderr, "progress_bench: %s\n", e.GetErrorMessage().c_str());
  } catch (std::exception& e) {
    std::fprintf(stderr, "progress_bench: %s\n", e.what());
  }
  return 2;
}
