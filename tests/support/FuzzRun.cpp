// The process's handle and GDI object counts are read with functions of
// Windows XP and 2000, newer than the programs' own target: only the tests
// use them.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#undef WINVER
#define WINVER 0x0601
#include "tests/support/FuzzRun.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "framework/Exception.h"
#include "tests/support/TestFiles.h"

namespace fuzz {

namespace {

std::string Environment(const char* name) {
  char value[64];
  const DWORD n = ::GetEnvironmentVariableA(name, value, sizeof value);
  return n == 0 || n >= sizeof value ? std::string() : std::string(value, n);
}

std::uint64_t NumberFromEnvironment(const char* name, std::uint64_t otherwise) {
  const std::string text = Environment(name);
  if (text.empty()) return otherwise;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  return end && *end == '\0' ? value : otherwise;
}

std::string FailureFolder() {
  char value[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableA("FUZZ_FAILURES", value, sizeof value);
  std::string folder = n == 0 || n >= sizeof value ? std::string("fuzz-failures") : std::string(value, n);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Writes the failing input and prints its line; the line, for the result.
std::string Report(const std::string& reader, std::uint64_t seed, std::uint64_t n, const std::string& recipe,
                   const Bytes& input, const std::string& what) {
  const std::string file = FailureFolder() + "\\" + reader + "-" + std::to_string(seed) + "-" + std::to_string(n) + ".bin";
  WriteFileBytes(file, input);
  const std::string line = "fuzz " + reader + ": seed " + std::to_string(seed) + " mutant " + std::to_string(n) + " (" +
                           recipe + "): " + what + "; written to " + file;
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  return line;
}

std::string DescribeCurrentException() {
  try {
    throw;
  } catch (const WrongResult& e) {
    return std::string("wrong result: ") + e.what();
  } catch (const CException& e) {
    return std::string("untyped ") + e.GetRuntimeClassName() + ": " + e.GetErrorMessage();
  } catch (const std::exception& e) {
    return std::string("std::exception: ") + e.what();
  } catch (...) {
    return "an exception of an unknown type";
  }
}

struct Usage {
  std::size_t privateBytes = 0;
  long handles = 0;
  long gdi = 0;
  long user = 0;
};

// The committed private memory of the process, walked region by region
// (Wine reports no private usage through the process's counters).
std::size_t CommittedPrivateBytes() {
  std::size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    if (region.RegionSize == 0) break;
  }
  return total;
}

// The handles the process holds; where the system does not count them
// (Wine), the value of a new handle, which handles that are never closed
// push up: the lowest free entry of the handle table.
long HandleMark() {
  DWORD count = 0;
  if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count != 0) return static_cast<long>(count);
  const HANDLE probe = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!probe) return 0;
  const long mark = static_cast<long>(reinterpret_cast<ULONG_PTR>(probe) / 4);
  ::CloseHandle(probe);
  return mark;
}

Usage Measure() {
  Usage u;
  u.privateBytes = CommittedPrivateBytes();
  u.handles = HandleMark();
  // 0 where the system does not count them (Wine).
  u.gdi = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
  u.user = static_cast<long>(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
  return u;
}

// The input being read, for the watchdog and the crash report: what makes
// it again, and when its read began.
class CurrentInput {
public:
  CurrentInput(std::string reader, const CMutator* mutator, DWORD limitMs)
      : reader_(std::move(reader)), mutator_(mutator), limitMs_(limitMs), watchdog_([this] { Watch(); }) {
    previousFilter_ = ::SetUnhandledExceptionFilter(&CurrentInput::OnCrash);
    active_ = this;
  }
  ~CurrentInput() {
    active_ = nullptr;
    ::SetUnhandledExceptionFilter(previousFilter_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    watchdog_.join();
  }
  CurrentInput(const CurrentInput&) = delete;
  CurrentInput& operator=(const CurrentInput&) = delete;

  // Begins input n (of the mutator; a replayed input is given itself).
  void Begin(std::uint64_t n, const Bytes* replayed = nullptr) {
    std::lock_guard<std::mutex> lock(mutex_);
    n_ = n;
    replayed_ = replayed;
    started_ = std::chrono::steady_clock::now();
    busy_ = true;
  }
  void End() {
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = false;
  }

private:
  // Reports the input being read and ends the process.
  [[noreturn]] void Abandon(const std::string& why) {
    std::string recipe = "replayed";
    Bytes input = replayed_ ? *replayed_ : mutator_->Make(n_, &recipe);
    Report(reader_, mutator_ ? mutator_->GetSeed() : 0, n_, recipe, input, why);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    std::abort();
  }

  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
      wake_.wait_for(lock, std::chrono::milliseconds(50));
      if (stop_ || !busy_) continue;
      const auto elapsed = std::chrono::steady_clock::now() - started_;
      if (elapsed > std::chrono::milliseconds(limitMs_)) {
        Abandon("still reading after " + std::to_string(limitMs_) + " ms (a hang, or far too slow)");
      }
    }
  }

  static LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    if (CurrentInput* self = active_) {
      char code[32];
      std::snprintf(code, sizeof code, "%08lx", info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0ul);
      try {
        self->Abandon(std::string("crashed with exception ") + code);
      } catch (...) {
      }
    }
    return EXCEPTION_CONTINUE_SEARCH;
  }

  static inline CurrentInput* active_ = nullptr;

  std::string reader_;
  const CMutator* mutator_;
  DWORD limitMs_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool busy_ = false;
  std::uint64_t n_ = 0;
  const Bytes* replayed_ = nullptr;
  std::chrono::steady_clock::time_point started_;
  LPTOP_LEVEL_EXCEPTION_FILTER previousFilter_ = nullptr;
  std::thread watchdog_;
};

double MiB(std::size_t bytes) { return static_cast<double>(bytes) / (1 << 20); }

}  // namespace

std::uint64_t IterationsFor(const Options& options) { return NumberFromEnvironment("FUZZ_ITERATIONS", options.iterations); }
std::uint64_t SeedFor(const Options& options) { return NumberFromEnvironment("FUZZ_SEED", options.seed); }

Result Run(const Corpus& corpus, const Target& target, const Options& options) {
  const CMutator mutator(corpus, SeedFor(options));
  const std::uint64_t iterations = IterationsFor(options);
  const std::uint64_t warmUp = std::min<std::uint64_t>(iterations / 10, 200);
  Result result;
  Usage before;
  const auto start = std::chrono::steady_clock::now();
  {
    CurrentInput current(options.reader, &mutator, options.inputLimitMs);
    if (!options.regressions.empty()) {
      for (const std::string& name : ListFolder(options.regressions)) {
        ++result.regressions;
        const Bytes input = ToBytes(ReadFileBytes(options.regressions + "\\" + name));
        current.Begin(0, &input);
        try {
          target(input);
        } catch (...) {
          result.failures.push_back("fuzz " + options.reader + ": regression " + name + ": " + DescribeCurrentException());
        }
        current.End();
      }
    }
    // The valid inputs: a reader that refuses them proves nothing with
    // their mutants.
    for (std::size_t i = 0; i < corpus.inputs.size(); ++i) {
      current.Begin(0, &corpus.inputs[i]);
      std::string failure;
      try {
        if (target(corpus.inputs[i]) != Outcome::taken) failure = "refused";
      } catch (...) {
        failure = DescribeCurrentException();
      }
      current.End();
      if (!failure.empty()) {
        result.failures.push_back("fuzz " + options.reader + ": valid input " + std::to_string(i) + ": " + failure);
      }
    }
    for (std::uint64_t n = 0; n < iterations && result.failures.empty(); ++n) {
      if (n == warmUp) before = Measure();
      std::string recipe;
      const Bytes input = mutator.Make(n, &recipe);
      current.Begin(n);
      try {
        (target(input) == Outcome::taken ? result.taken : result.refused)++;
      } catch (...) {
        result.failures.push_back(Report(options.reader, mutator.GetSeed(), n, recipe, input, DescribeCurrentException()));
      }
      current.End();
      ++result.inputs;
      if (static_cast<int>(result.failures.size()) >= options.maxFailures) break;
    }
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const Usage after = Measure();
  if (result.inputs > warmUp) {
    const auto grew = [&](const std::string& what) { result.failures.push_back("fuzz " + options.reader + ": " + what); };
    if (after.privateBytes > before.privateBytes + options.memorySlack) {
      grew("private memory grew by " + std::to_string(MiB(after.privateBytes - before.privateBytes)) + " MiB after the warm-up");
    }
    if (after.handles > before.handles + options.handleSlack) {
      grew("handles grew from " + std::to_string(before.handles) + " to " + std::to_string(after.handles));
    }
    if (after.gdi > before.gdi + options.gdiSlack || after.user > before.user + options.gdiSlack) {
      grew("GDI/USER objects grew from " + std::to_string(before.gdi) + "/" + std::to_string(before.user) + " to " +
           std::to_string(after.gdi) + "/" + std::to_string(after.user));
    }
  }
  std::fprintf(stderr,
               "fuzz %s: %llu inputs (%llu taken, %llu refused) and %u regressions in %.1f s, seed %llu; private memory %.1f MiB (%+.1f), "
               "handles %ld (%+ld), GDI objects %ld (%+ld) at the end (since the warm-up); %u failures\n",
               options.reader.c_str(), static_cast<unsigned long long>(result.inputs),
               static_cast<unsigned long long>(result.taken), static_cast<unsigned long long>(result.refused),
               result.regressions, result.seconds, static_cast<unsigned long long>(mutator.GetSeed()),
               MiB(after.privateBytes), MiB(after.privateBytes) - MiB(before.privateBytes), after.handles,
               after.handles - before.handles, after.gdi, after.gdi - before.gdi,
               static_cast<unsigned>(result.failures.size()));
  return result;
}

std::string Replay(const std::string& name, const Bytes& input, const Target& target, DWORD limitMs) {
  CurrentInput current(name, nullptr, limitMs);
  current.Begin(0, &input);
  std::string failure;
  try {
    target(input);
  } catch (...) {
    failure = DescribeCurrentException();
  }
  current.End();
  return failure;
}

}  // namespace fuzz
