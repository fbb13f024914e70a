// The calendar date and time of a moment, in the machine's time zone (what
// a zip entry's date holds) or in UTC (a document's properties). The C
// library's thread-safe conversions are not standard C++; a port replaces
// calendar_time_posix.cpp only.
#pragma once

#include <ctime>
#include <optional>

namespace zorbix::base {

// Nothing when the moment cannot be told in a calendar.
std::optional<std::tm> LocalTimeOf(std::time_t when);
std::optional<std::tm> UtcTimeOf(std::time_t when);

}  // namespace zorbix::base
