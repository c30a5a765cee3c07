// CDisplayGate: how often a page that follows long work (the copy, the
// removal) shows it. A file is made or deleted faster than a path is shown,
// the window repainted and waiting messages let through, so a page does
// those at most every kIntervalMs.
#pragma once

#include <windows.h>

#include <optional>

struct CDisplayGate {
  static constexpr DWORD kIntervalMs = 25;

  // Whether kIntervalMs have passed since the gate was last passed (always
  // the first time).
  bool IntervalPassed(DWORD now) const { return !at || now - *at >= kIntervalMs; }

  std::optional<DWORD> at;  // when it was last passed (GetTickCount), if ever
};
