#include "base/numeric_value.h"

#include <charconv>
#include <cstdint>

namespace zorbix::base {

double NumericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // The run of digits with at most one point; from_chars reads exactly
    // that run (".5" and "5." included) without copying it.
    const std::size_t first = i;
    bool seen_point = false;
    bool seen_digit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            seen_digit = true;
        } else if (c == '.' && !seen_point) {
            seen_point = true;
        } else {
            break;
        }
    }
    if (!seen_digit) return 0.0;
    // Up to 15 digits are exact as a whole number, and so is every power of
    // ten up to 1e15: their quotient is the correctly rounded value, the one
    // from_chars gives, in a fraction of the time (the summary run reads
    // tens of fields of every project).
    if (i - first - (seen_point ? 1 : 0) <= 15) {
        static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        std::int64_t digits = 0;
        std::size_t decimals = 0;
        for (std::size_t d = first; d < i; ++d) {
            if (text[d] == '.') {
                decimals = i - d - 1;
                continue;
            }
            digits = digits * 10 + (text[d] - '0');
        }
        const double value = static_cast<double>(digits) / kPowers[decimals];
        return negative ? -value : value;
    }
    double value = 0.0;
    std::from_chars(text.data() + first, text.data() + i, value);
    return negative ? -value : value;
}

}  // namespace zorbix::base
