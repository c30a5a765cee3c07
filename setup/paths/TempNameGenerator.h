// CTempNameGenerator: the numbers that temporary file names are made of.
// Names must not be guessable: someone who could tell the next name in
// advance could put a file or a link there first. The process's generator
// is seeded once from what differs between runs and machines (the process
// and thread ids, the tick count, the time of day, the performance counter,
// where the stack lies, and the system's random bytes where it has them),
// and every name takes the next step of a counter through a mixing
// function, so that no two names of a run repeat a pattern.
#pragma once

#include <cstdint>
#include <string>

class CTempNameGenerator {
public:
  // A generator that gives the same numbers for the same seed.
  explicit CTempNameGenerator(std::uint64_t seed) noexcept : state_(seed) {}

  // The generator of this process, seeded when first asked for.
  static CTempNameGenerator& ForProcess();

  std::uint32_t Next() noexcept;
  // Eight lower-case hexadecimal digits of Next.
  std::string NextName();

private:
  std::uint64_t state_;
};
