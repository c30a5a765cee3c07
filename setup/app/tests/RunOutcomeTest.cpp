// The exit code of a run: from the outcome flags, the recorded failure
// cause and the page the run ended on.
#include <gtest/gtest.h>

#include "SetupAppFixture.h"
#include "setup/wizard/RunOutcome.h"
#include "setup/resources/ResourceIds.h"

namespace {

constexpr FailureCause kNone = FailureCause::none;
constexpr FailureCause kUser = FailureCause::user;
constexpr FailureCause kError = FailureCause::error;
constexpr FailureCause kAnotherRun = FailureCause::anotherRun;

TEST(RunOutcomeTest, ExitCodeFromFlagsCauseAndFinalPage) {
  const struct {
    const char* what;
    CRunOutcome outcome;
    int code;
  } rows[] = {
      {"finished", {true, false, kNone, IDD_FINISHED}, 0},
      {"removed", {true, false, kNone, IDD_REMOVED}, 0},
      // A product file in use is deleted only at the restart.
      {"removed, a file left for the restart", {true, true, kNone, IDD_REMOVED}, 3010},
      {"restart page, Don't Restart or Restart", {true, true, kNone, IDD_RESTART}, 3010},
      {"finished although a file waits for the restart", {true, true, kNone, IDD_FINISHED}, 3010},
      {"Cancel confirmed on a page", {false, false, kUser, IDD_FAILED}, 1602},
      {"diskette not given, a file already waiting", {false, true, kUser, IDD_FAILED}, 1602},
      {"No to the already-installed question", {false, false, kUser, 0}, 1602},
      {"error reported by the page runner", {false, false, kError, IDD_FAILED}, 1603},
      {"Cancel Operation after a copy error", {false, true, kError, IDD_FAILED}, 1603},
      {"main window not created", {false, false, kError, 0}, 1603},
      {"another run holds the machine", {false, false, kAnotherRun, 0}, 1618},
      // Failure reported as success must not happen: an end on the failure
      // page, or on no final page, is a failure whatever the flags say.
      {"failure page without a recorded failure", {true, false, kNone, IDD_FAILED}, 1603},
      {"ended on a page in between", {true, false, kNone, IDD_DIRECTORY}, 1603},
      {"ended before any page", {true, false, kNone, 0}, 1603},
      {"cleared flag, no cause", {false, false, kNone, IDD_FAILED}, 1603},
      // The close question answered Yes on a final page: the run is failed
      // by the user, as the status report says too.
      {"closed by the user on the finished page", {false, false, kUser, IDD_FINISHED}, 1602},
      {"closed by the user on the restart page", {false, true, kUser, IDD_RESTART}, 1602},
  };
  for (const auto& row : rows) EXPECT_EQ(row.code, row.outcome.ExitCode()) << row.what;
}

TEST_F(SetupAppFixture, TheFirstRecordedFailureCauseStays) {
  EXPECT_EQ(FailureCause::none, app.failureCause);
  app.RecordFailure(FailureCause::user);
  EXPECT_FALSE(app.installSucceeded);
  app.RecordFailure(FailureCause::error);
  EXPECT_EQ(FailureCause::user, app.failureCause) << "what ended the run was the user's choice";
}

TEST_F(SetupAppFixture, ExitInstanceReturnsTheDecidedCode) {
  // No page was shown: a run that ends so has not installed anything.
  app.removeMode = true;  // no status report
  EXPECT_EQ(1603, app.ExitInstance());
  app.RecordFailure(FailureCause::user);
  EXPECT_EQ(1602, app.ExitInstance());
}

}  // namespace
