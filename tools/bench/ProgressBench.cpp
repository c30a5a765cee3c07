// progress_bench KIT TARGET: what the copy page's progress display costs.
// Installs the kit whose first folder (with _setupx.ini) is KIT into the
// folder TARGET with the copy engine the setup program uses, three ways,
// alternating, a few rounds:
//  - engine alone: nobody watches the copy;
//  - page: the real copy page (108, a window of its own on a main window)
//    watches the copy and updates what it shows as it does in the setup
//    program, at most every 25 ms and whenever a file ends;
//  - page per tick: the same page updating on every 4096-byte tick (once).
// It prints the median install times, the time spent inside the page's
// calls and the number of updates the gauge saw. Not a test: a measurement.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/FrameWnd.h"
#include "setup/app/SetupApp.h"
#include "setup/app/tests/TestSystemActions.h"
#include "setup/profile/InstallModel.h"
#include "setup/resources/ResourceIds.h"
#include "setup/transfer/InstallFileEntry.h"
#include "setup/transfer/InstallJob.h"
#include "setup/transfer/SourceMedia.h"
#include "setup/wizard/CopyProgressPage.h"
#include "setup/wizard/Gauge.h"
#include "setup/wizard/Wizard.h"
#include "tests/support/TestFiles.h"

namespace {

constexpr int kRounds = 3;

double Now() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The setup program's application object, with system actions that touch
// nothing (no shortcut, no registration is made here).
class CBenchApp : public CSetupApp {
public:
  CBenchApp() : CSetupApp(std::make_unique<CTestSystemActions>()) {
    m_title = "Veltrane Setup";
    productTitle = "Veltrane Setup";
    productKeyName = "Veltrane";
    programFile = "veltapp.exe";
  }
};

// Nobody watches: the engine's own cost.
class CNoProgress : public CInstallProgress {
public:
  void SetCurrentTransfer(const CInstallJob*) override {}
  void AddCompletedTransfer(const CInstallJob&) override {}
  void AddCompletedFile(const CFileEntry&) override {}
  void ReportProgress() override {}
  void PumpMessages() override {}
  bool AskContinueAfterError(const CException& e, const std::string& fileName) override {
    std::fprintf(stderr, "progress_bench: %s: %s\n", fileName.c_str(), e.GetErrorMessage().c_str());
    return false;
  }
};

// Hands every call to the copy page as the page's own copy loop does while
// it shows a copy, and times what the page does with it. The page's
// ReportProgress is OnProgress while a copy is shown; a finished transfer
// is shown whole (OnProgress forced) before it counts as done.
class CTimedPageProgress : public CNoProgress {
public:
  CTimedPageProgress(CCopyProgressPage& page, bool everyTick) : page_(page), everyTick_(everyTick) {}

  void SetCurrentTransfer(const CInstallJob* job) override { page_.SetCurrentTransfer(job); }
  void AddCompletedTransfer(const CInstallJob& job) override {
    Timed([&] {
      page_.OnProgress(true);
      page_.AddCompletedTransfer(job);
    });
  }
  void AddCompletedFile(const CFileEntry& entry) override { page_.AddCompletedFile(entry); }
  void ReportProgress() override {
    ++ticks;
    Timed([&] { page_.OnProgress(everyTick_); });
  }
  void PumpMessages() override {
    Timed([&] { page_.PumpMessages(); });
  }

  double seconds = 0;  // inside the page's calls
  long ticks = 0;      // 4096-byte ticks of the engine
  long updates = 0;    // calls after which the gauge stood elsewhere

private:
  template <typename F>
  void Timed(F&& f) {
    const std::uint32_t before = page_.GetGauge()->GetPos();
    const double t = Now();
    f();
    seconds += Now() - t;
    if (page_.GetGauge()->GetPos() != before) ++updates;
  }

  CCopyProgressPage& page_;
  bool everyTick_;
};

struct Result {
  std::vector<double> total, inPage;
  long ticks = 0, updates = 0;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

class CBench {
public:
  CBench(std::string kit, std::string target) : kit_(std::move(kit)), target_(std::move(target)) {}

  int Run() {
    app_.model = std::make_unique<CInstallModel>("Veltrane");
    CInstallModel& model = *app_.model;
    model.Load(CPathName(kit_ + "\\_setupx.ini"), media_);
    model.destinations.SetPath(0, target_);
    model.destinations.Resolve();
    model.groups.SelectBySetupType(2);
    total_ = static_cast<std::uint32_t>(model.files.RequiredSpace(0, false));
    if (!mainWindow_.Create(nullptr, "Veltrane Setup", WS_POPUP | WS_VISIBLE, RECT{0, 0, 800, 600})) return 2;
    app_.m_pMainWnd = &mainWindow_;

    Result engine, page, everyTick;
    for (int round = 0; round < kRounds; ++round) {
      if (!InstallAlone(engine) || !InstallWatched(page, false)) return 1;
    }
    // Per-tick updating is slow enough that one run tells.
    if (!InstallWatched(everyTick, true)) return 1;
    const double alone = Median(engine.total);
    std::printf("progress_bench: %s: %.1f MiB, %ld ticks of 4096 bytes, median of %d rounds\n", kit_.c_str(),
                total_ / 1048576.0, page.ticks / kRounds, kRounds);
    std::printf("  engine alone          %7.3f s\n", alone);
    Print("page (as shipped)    ", page, alone, kRounds);
    Print("page on every tick   ", everyTick, alone, 1);
    const double share = Median(page.inPage) / Median(page.total);
    std::printf("  progress display: %.1f %% of the install (target under 10 %%) %s\n", share * 100,
                share < 0.10 ? "ok" : "OVER");
    mainWindow_.DestroyWindow();
    app_.m_pMainWnd = nullptr;
    return 0;
  }

private:
  void Print(const char* what, const Result& r, double alone, int rounds) {
    std::printf("  %s %7.3f s, inside the page %6.3f s (%4.1f %%), %ld updates; %+.3f s against the engine alone\n",
                what, Median(r.total), Median(r.inPage), Median(r.inPage) / Median(r.total) * 100,
                r.updates / rounds, Median(r.total) - alone);
  }

  // Empties the target and forgets the previous round's log.
  void Reset() {
    RemoveTree(target_);
    ::CreateDirectoryA(target_.c_str(), nullptr);
    ::DeleteFileA(log_.c_str());
  }

  bool InstallWith(CInstallProgress& progress, double& seconds) {
    Reset();
    bool succeeded = true, reboot = false;
    CInstallModel& model = *app_.model;
    CInstallContext context{media_, model.destinations, model.targets, log_, succeeded, reboot, progress};
    const double t = Now();
    for (const auto& entry : model.files) {
      if (!entry->IsSelected()) continue;
      InstallFileEntry(*entry, context);
      if (!succeeded) break;
    }
    seconds = Now() - t;
    return succeeded;
  }

  bool InstallAlone(Result& r) {
    CNoProgress none;
    double seconds = 0;
    if (!InstallWith(none, seconds)) return false;
    r.total.push_back(seconds);
    return true;
  }

  bool InstallWatched(Result& r, bool everyTick) {
    CCopyProgressPage page;
    if (!page.CreatePageWindow()) return false;
    // The page runner is not used here: its work message goes unanswered.
    MSG msg;
    while (::PeekMessageA(&msg, page.m_hWnd, WM_PAGEWORK, WM_PAGEWORK, PM_REMOVE)) {
    }
    page.GetGauge()->SetRange(1, total_);
    CTimedPageProgress progress(page, everyTick);
    double seconds = 0;
    const bool ok = InstallWith(progress, seconds);
    page.DestroyWindow();
    r.total.push_back(seconds);
    r.inPage.push_back(progress.seconds);
    r.ticks += progress.ticks;
    r.updates += progress.updates;
    return ok;
  }

  std::string kit_, target_;
  CBenchApp app_;
  CFrameWnd mainWindow_;
  CSourceMedia media_{CPathName(kit_ + "\\")};
  CPathName log_{target_ + ".log"};
  std::uint32_t total_ = 0;
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
