#include "setup/log/EventTrail.h"

#include <cstdarg>

#include "framework/FormatText.h"
#include "setup/log/InstallLog.h"

namespace {

constexpr char kSection[] = "Events";

// The key with its last field replaced by `counter` (0 to 999).
std::string KeyWithCounter(const char* timeOfDay, unsigned long counter) {
  char key[32];
  FormatText(key, sizeof key, "%s:%04ld", timeOfDay, static_cast<long>(counter % 1000));
  return key;
}

std::string TimeOfDay(const std::tm& time) {
  char text[16];
  if (std::strftime(text, sizeof text, "%H:%M:%S", &time) == 0) text[0] = '\0';
  return text;
}

}  // namespace

std::string EventKey(const std::tm& time, DWORD ticks) { return KeyWithCounter(TimeOfDay(time).c_str(), ticks); }

int LogEvent(CInstallLog& log, const char* format, ...) noexcept {
  va_list args;
  va_start(args, format);
  const int length = LogEventV(log, format, args);
  va_end(args);
  return length;
}

int LogEventV(CInstallLog& log, const char* format, va_list args) noexcept {
  char text[kEventBufferSize];
  const int wanted = FormatTextV(text, sizeof text, format ? format : "", args);
  if (wanted < 0) text[0] = '\0';
  const int length = wanted < 0 ? 0 : (wanted < kEventBufferSize ? wanted : kEventBufferSize - 1);
  if (log.GetPath().IsEmpty()) return length;

  try {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now)) local = *t;
    const std::string timeOfDay = TimeOfDay(local);
    const unsigned long ticks = ::GetTickCount() % 1000;
    std::string key = KeyWithCounter(timeOfDay.c_str(), ticks);
    for (unsigned long step = 1; step < 1000; ++step) {
      const std::optional<std::string_view> taken = log.Text().Find(kSection, key);
      if (!taken || taken->empty()) break;
      key = KeyWithCounter(timeOfDay.c_str(), ticks + step);
    }
    // A line holds no line break: the event stays one value.
    for (char* c = text; *c; ++c) {
      if (*c == '\r' || *c == '\n') *c = ' ';
    }
    log.Set(kSection, key, text);
    if (!log.IsJournalling()) log.Save();
  } catch (...) {
    // An event that cannot be written is lost; the caller goes on.
  }
  return length;
}
