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
    // A whole number of up to 15 digits is exact as a double: summed up
    // directly it is the value from_chars gives, in a fraction of the time
    // (the summary run reads tens of fields of every project).
    if (!seen_point && i - first <= 15) {
        std::int64_t whole = 0;
        for (std::size_t d = first; d < i; ++d) whole = whole * 10 + (text[d] - '0');
        const auto value = static_cast<double>(whole);
        return negative ? -value : value;
    }
    double value = 0.0;
    std::from_chars(text.data() + first, text.data() + i, value);
    return negative ? -value : value;
}

}  // namespace zorbix::base
