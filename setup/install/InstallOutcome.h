// What installing one entry of the distribution came to: whether the copy
// is to stop, and why, and whether a file waits for the next restart.
#pragma once

// Why a copy ends before its last entry.
enum class CopyStop {
  none,           // it goes on
  requested,      // the policy said to stop (the run was ended from outside)
  userCancelled,  // a diskette was not given, or a running extraction was cancelled
  failed,         // an entry failed and the answer was "Cancel Operation"
};

struct CInstallOutcome {
  CopyStop stop = CopyStop::none;
  // A file of the entry replaces its existing copy only at the next
  // restart. Set also when the copy stopped after that file.
  bool restartNeeded = false;

  bool Stopped() const noexcept { return stop != CopyStop::none; }
};
