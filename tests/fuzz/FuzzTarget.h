// The options of the fuzz targets of this folder: the reader's name, the
// default budget, and the reader's table of inputs that once failed, the
// files of tests/fuzz/regressions/<reader>, replayed on every run. A
// failing input that a run wrote (fuzz-failures/<reader>-<seed>-<n>.bin)
// becomes a row of the table when it is copied there.
#pragma once

#include <string>

#include "tests/support/FuzzRun.h"

inline fuzz::Options TargetOptions(const std::string& reader, std::uint64_t iterations = 5000) {
  fuzz::Options options;
  options.reader = reader;
  options.iterations = iterations;
  options.regressions = std::string(VELT_FUZZ_REGRESSIONS) + "\\" + reader;
  return options;
}
