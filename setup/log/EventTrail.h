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

#include "setup/paths/PathName.h"

// Size of the buffer an event is formatted into; a longer event is cut to
// kEventBufferSize - 1 characters.
inline constexpr int kEventBufferSize = 512;

// Formats the event (printf conventions) and writes it into [Events] of the
// install log at logPath. An event never replaces an earlier one: when its
// key is taken, the last field counts on (modulo 1000) to the next free key.
// A failed write is ignored, and nothing is written when logPath is empty.
// Returns the number of characters of the event text.
__attribute__((format(gnu_printf, 2, 3))) int LogEvent(const CPathName& logPath, const char* format, ...) noexcept;
// The same with the arguments of a variadic caller.
__attribute__((format(gnu_printf, 2, 0))) int LogEventV(const CPathName& logPath, const char* format,
                                                        va_list args) noexcept;

// The key of an event at the local time `time` and the tick count `ticks`.
std::string EventKey(const std::tm& time, DWORD ticks);
