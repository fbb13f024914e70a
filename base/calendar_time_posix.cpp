// Calendar time with localtime_r(3) and gmtime_r(3).
#include "base/calendar_time.h"

namespace zorbix::base {

std::optional<std::tm> LocalTimeOf(std::time_t when) {
    std::tm parts{};
    if (!localtime_r(&when, &parts)) return std::nullopt;
    return parts;
}

std::optional<std::tm> UtcTimeOf(std::time_t when) {
    std::tm parts{};
    if (!gmtime_r(&when, &parts)) return std::nullopt;
    return parts;
}

}  // namespace zorbix::base
