// The loop of a fuzz target: mutants of a corpus (Mutator.h) fed to one
// reader in this process, each of which must end in a valid result or in
// one of the reader's own typed exceptions, within a time limit, without
// the process's memory or handles growing from input to input.
//
// The inputs that once failed go first (Options::regressions), then the
// corpus's own inputs, which must be taken: a reader that refuses them
// proves nothing with their mutants.
//
// The target function reads one input. It returns taken when the reader
// took it and refused when the reader threw one of its typed exceptions
// (the target catches those); whatever else leaves it (another exception,
// a WrongResult from Check, a crash) fails the input. A failing input is printed as
// reader, seed and mutant number, with what was done to it, and written to
// "<reader>-<seed>-<n>.bin" in the folder FUZZ_FAILURES names (else
// "fuzz-failures" in the current folder). An input that takes longer than
// the limit ends the process after the same report: it would not end.
//
// The budget: FUZZ_ITERATIONS mutants when set, else the target's default;
// FUZZ_SEED changes the seed (decimal).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/Mutator.h"

namespace fuzz {

enum class Outcome { taken, refused };

struct Options {
  std::string reader;                // "archive": names the reports and files
  std::uint64_t iterations = 5000;   // when FUZZ_ITERATIONS is not set
  std::uint64_t seed = 1;            // when FUZZ_SEED is not set
  DWORD inputLimitMs = 3000;         // a slower input is a failure
  // Growth allowed between the end of the warm-up and the end of the run.
  std::size_t memorySlack = 24u << 20;
  long handleSlack = 64;
  long gdiSlack = 32;
  int maxFailures = 10;              // the run stops after this many
  // A folder of inputs that once failed, each a file, replayed before the
  // valid inputs on every run (they may be taken or refused); none when
  // empty.
  std::string regressions;
};

struct Result {
  std::uint64_t inputs = 0;
  std::uint64_t taken = 0;
  std::uint64_t refused = 0;
  unsigned regressions = 0;  // inputs replayed from Options::regressions
  double seconds = 0;
  std::vector<std::string> failures;  // one line each
};

using Target = std::function<Outcome(const Bytes& input)>;

// The iterations and seed that apply (the environment's, else options').
std::uint64_t IterationsFor(const Options& options);
std::uint64_t SeedFor(const Options& options);

// A result the reader should not have given: thrown by Check.
struct WrongResult : std::runtime_error {
  using std::runtime_error::runtime_error;
};
inline void Check(bool holds, const std::string& what) {
  if (!holds) throw WrongResult(what);
}

// Feeds the mutants to target and returns the counts and the failures
// (already reported on stderr, one line each, and written to files). Prints
// one summary line.
Result Run(const Corpus& corpus, const Target& target, const Options& options);

// One input that once failed, fed to target in the same way: empty when it
// ended well, else what went wrong (a slow input ends the process, as in
// Run).
std::string Replay(const std::string& name, const Bytes& input, const Target& target, DWORD limitMs = 3000);

}  // namespace fuzz
