#include "setup/paths/TempNameGenerator.h"

#include <windows.h>

#include <ctime>

#include "framework/FormatText.h"

namespace {

// One step of SplitMix64's output function: every input bit reaches every
// output bit.
std::uint64_t Mix(std::uint64_t z) noexcept {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// What differs between two runs: the process, the thread, the moment and
// where the stack lies, and the system's random bytes where it has them
// (RtlGenRandom, exported as SystemFunction036 since Windows XP, looked up
// in advapi32, which every program here has loaded).
std::uint64_t Seed() {
  std::uint64_t seed = Mix(::GetTickCount());
  seed = Mix(seed ^ ::GetCurrentProcessId());
  seed = Mix(seed ^ ::GetCurrentThreadId());
  seed = Mix(seed ^ static_cast<std::uint64_t>(std::time(nullptr)));
  int onTheStack = 0;
  seed = Mix(seed ^ reinterpret_cast<std::uintptr_t>(&onTheStack));
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  seed = Mix(seed ^ (static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime));
  LARGE_INTEGER ticks{};
  if (::QueryPerformanceCounter(&ticks)) seed = Mix(seed ^ static_cast<std::uint64_t>(ticks.QuadPart));
  using RandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  const HMODULE advapi = ::GetModuleHandleA("advapi32.dll");
  const auto random = advapi ? reinterpret_cast<RandomFn>(reinterpret_cast<void (*)()>(
                                   ::GetProcAddress(advapi, "SystemFunction036")))
                             : nullptr;
  if (random) {
    std::uint64_t bytes = 0;
    if (random(&bytes, sizeof bytes)) seed = Mix(seed ^ bytes);
  }
  return seed;
}

}  // namespace

CTempNameGenerator& CTempNameGenerator::ForProcess() {
  static CTempNameGenerator generator(Seed());
  return generator;
}

std::uint32_t CTempNameGenerator::Next() noexcept {
  state_ += 0x9E3779B97F4A7C15ull;  // the counter: a step that visits every value once
  return static_cast<std::uint32_t>(Mix(state_) >> 32);
}

std::string CTempNameGenerator::NextName() {
  char digits[9];
  FormatText(digits, sizeof digits, "%08lx", static_cast<unsigned long>(Next()));
  return digits;
}
