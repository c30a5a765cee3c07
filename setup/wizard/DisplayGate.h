// CDisplayGate: how often a page that follows long work (the copy, the
// removal) shows it. A file is made or deleted faster than a path is shown,
// the window repainted and waiting messages let through, so a page does
// those at most every kIntervalMs.
#pragma once

#include <windows.h>

#include <optional>

class CDisplayGate {
public:
  static constexpr DWORD kIntervalMs = 25;

  // Whether kIntervalMs have passed since the gate was last passed (always
  // the first time).
  bool IntervalPassed(DWORD now) const { return !at_ || now - *at_ >= kIntervalMs; }
  // Passes the gate at now when the interval has passed; whether it did.
  bool Pass(DWORD now) {
    if (!IntervalPassed(now)) return false;
    at_ = now;
    return true;
  }
  // Passes the gate at now whether or not the interval has passed.
  void PassAnyway(DWORD now) { at_ = now; }

private:
  std::optional<DWORD> at_;  // when it was last passed (GetTickCount), if ever
};
