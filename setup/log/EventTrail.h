// The event trail: failures that are not shown to the user (a status
// report that could not be sent, a log that could not be removed) leave a
// line in the [Events] section of the install log, keyed by the time of
// day: "%H:%M:%S" followed by ":" and the tick count modulo 1000 as
// "%04ld", for example 14:03:27:0042.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <ctime>
#include <string>

class CInstallLog;

// Size of the buffer an event is formatted into; a longer event is cut to
// kEventBufferSize - 1 characters.
inline constexpr int kEventBufferSize = 512;

// Formats the event (printf conventions) and writes it into [Events] of the
// install log. An event never replaces an earlier one: when its key is
// taken, the last field counts on (modulo 1000) to the next free key. A log
// that does not journal is saved at once; a failed write is ignored, and
// nothing is written when the log has no path. Returns the number of
// characters of the event text.
__attribute__((format(gnu_printf, 2, 3))) int LogEvent(CInstallLog& log, const char* format, ...) noexcept;
// The same with the arguments of a variadic caller.
__attribute__((format(gnu_printf, 2, 0))) int LogEventV(CInstallLog& log, const char* format, va_list args) noexcept;

// The key of an event at the local time `time` and the tick count `ticks`.
std::string EventKey(const std::tm& time, DWORD ticks);
