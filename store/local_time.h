// The present moment as text in the computer's local time, the way the
// clerk reads it: in change-history lines and in backup file names.
#pragma once

#include <string>

namespace zorbix::store {

// strftime's format applied to the local time now, e.g. "%Y-%m-%d %H:%M:%S".
std::string LocalTimeNow(const char* format);

}  // namespace zorbix::store
