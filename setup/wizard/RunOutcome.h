// How a run of the setup program ended, and the exit code that tells a
// script or a software-distribution system about it. The codes are those
// that such systems already read from Windows installers.
#pragma once

// Why a run failed, as the part that failed it records it: the user ended
// the run (Cancel confirmed, No to a question that lets the run go on,
// a diskette not given), or something went wrong.
enum class FailureCause {
  none,   // nothing was recorded
  user,   // the user's choice
  error,  // an error, a missing or damaged file, unmet requirements
  // Another run of the setup program holds the machine: this one did
  // nothing at all.
  anotherRun,
};

namespace SetupExitCode {
constexpr int success = 0;
constexpr int userCancelled = 1602;
constexpr int failed = 1603;
constexpr int anotherRunActive = 1618;
constexpr int restartRequired = 3010;
}  // namespace SetupExitCode

// What an exit code says, in a few words ("failed").
const char* ExitCodeMeaning(int exitCode) noexcept;

struct CRunOutcome {
  bool installSucceeded = true;
  bool rebootNeeded = false;
  FailureCause failureCause = FailureCause::none;
  int finalPageId = 0;  // the page shown last; 0 when none was

  // success when the run ended well on the Finished or the Removed page;
  // restartRequired when it ended well but files wait for the restart
  // (files of the product that a removal could not delete among them);
  // otherwise anotherRunActive when another run held the machine,
  // userCancelled when the user ended it, and failed for anything else (a
  // failure without a recorded cause included).
  int ExitCode() const;
};
