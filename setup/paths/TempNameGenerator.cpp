#include "setup/paths/TempNameGenerator.h"

#include <windows.h>

#include <cstdio>
#include <ctime>

namespace {

// One step of SplitMix64's output function: every input bit reaches every
// output bit.
std::uint64_t Mix(std::uint64_t z) noexcept {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

template <class Fn>
Fn Lookup(const char* module, const char* name) {
  const HMODULE loaded = ::GetModuleHandleA(module);
  if (!loaded) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(loaded, name)));
}

// What differs between two runs. The functions that not every Windows has
// are looked up in the libraries the program has loaded anyway: the random
// bytes of the system (RtlGenRandom, exported as SystemFunction036 since
// Windows XP), and the process id, the system time and the performance
// counter, which the import table does not list.
std::uint64_t Seed() {
  std::uint64_t seed = Mix(::GetTickCount());
  seed = Mix(seed ^ ::GetCurrentThreadId());
  seed = Mix(seed ^ static_cast<std::uint64_t>(std::time(nullptr)));
  int onTheStack = 0;
  seed = Mix(seed ^ reinterpret_cast<std::uintptr_t>(&onTheStack));

  using ProcessIdFn = DWORD(WINAPI*)();
  if (const auto processId = Lookup<ProcessIdFn>("kernel32.dll", "GetCurrentProcessId")) {
    seed = Mix(seed ^ processId());
  }
  using SystemTimeFn = void(WINAPI*)(FILETIME*);
  if (const auto systemTime = Lookup<SystemTimeFn>("kernel32.dll", "GetSystemTimeAsFileTime")) {
    FILETIME now{};
    systemTime(&now);
    seed = Mix(seed ^ (static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime));
  }
  using CounterFn = BOOL(WINAPI*)(LARGE_INTEGER*);
  if (const auto counter = Lookup<CounterFn>("kernel32.dll", "QueryPerformanceCounter")) {
    LARGE_INTEGER ticks{};
    if (counter(&ticks)) seed = Mix(seed ^ static_cast<std::uint64_t>(ticks.QuadPart));
  }
  using RandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  if (const auto random = Lookup<RandomFn>("advapi32.dll", "SystemFunction036")) {
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
  std::snprintf(digits, sizeof digits, "%08lx", static_cast<unsigned long>(Next()));
  return digits;
}
