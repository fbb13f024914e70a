// How the server reads the texts of uploaded workbooks: cells lose the
// blanks around them, and a plan line's number and unit are read alike
// wherever a plan is used.
#pragma once

#include <string>
#include <string_view>

#include "reconcile/plan_list.h"

namespace zorbix::server {

inline std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return "";
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The plan list's describing columns 3 and 4 hold the name and the unit.
inline constexpr int kPlannedNameDetail = 0;
inline constexpr int kPlannedUnitDetail = 1;

inline std::string PlannedNumber(const reconcile::PlannedProject& p) {
    return Trimmed(p.number_text);
}
inline std::string PlannedUnit(const reconcile::PlannedProject& p) {
    return Trimmed(p.details[kPlannedUnitDetail]);
}

}  // namespace zorbix::server
