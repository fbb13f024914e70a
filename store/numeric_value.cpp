#include "store/numeric_value.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zorbix::store {

double NumericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;

    // Sign, a leading zero (so ".5" reads as "0.5"), digits and one point,
    // as read; from_chars turns it into the value.
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number += '-';
        ++i;
    }
    number += '0';
    bool seen_point = false;
    bool seen_digit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            number += c;
            seen_digit = true;
        } else if (c == '.' && !seen_point) {
            number += c;
            seen_point = true;
        } else {
            break;
        }
    }
    if (!seen_digit) return 0.0;
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

bool SameProjectNumber(double a, double b) { return std::fabs(a - b) < 0.1; }

}  // namespace zorbix::store
