#include "summary/summary_figures.h"

#include <cmath>

#include "base/numeric_value.h"

namespace zorbix::summary {
namespace {

std::int64_t Held(double whole) {
    constexpr double kLimit = 9.2e18;  // inside the 64-bit range
    if (std::isnan(whole)) return 0;
    if (whole >= kLimit) return static_cast<std::int64_t>(kLimit);
    if (whole <= -kLimit) return -static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(whole);
}

}  // namespace

double Amount(std::string_view text) { return std::floor(base::NumericValue(text)); }

std::int64_t RoundedCode(std::string_view text) {
    // nearbyint rounds halves to even in the default rounding mode.
    return Held(std::nearbyint(base::NumericValue(text)));
}

std::int64_t CutKey(std::string_view text) { return Held(std::floor(base::NumericValue(text))); }

}  // namespace zorbix::summary
