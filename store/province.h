// The surveyed province: its division code, its regions and the science and
// technology bureaus of its places. Another province replaces this data only.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zorbix::store {

// The two-digit administrative division code every region code begins with.
inline constexpr std::string_view kProvinceCode = "96";

struct Region {
    std::string code;  // six digits
    std::string name;  // "<name>市"
};

// The 18 regions in picker order.
std::span<const Region> Regions();

// Department rows "01" to "26" of the supervising-department list: the
// bureaus of the 18 regions, two high-tech zones and six further places.
std::span<const std::string> LocalDepartments();

}  // namespace zorbix::store
