// localtime_r is POSIX; a port replaces this file only.
#include "store/local_time.h"

#include <ctime>

namespace zorbix::store {

std::string LocalTimeNow(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, length);
}

}  // namespace zorbix::store
