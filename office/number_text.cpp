#include "office/number_text.h"

#include <charconv>
#include <cmath>

#include "office/sheet.h"

namespace zorbix::office {
namespace {

int SignificantDigits(std::string_view text) {
    int digits = 0;
    bool leading = true;
    for (char c : text) {
        if (c == 'e' || c == 'E') break;
        if (c < '0' || c > '9') continue;
        if (leading && c == '0') continue;
        leading = false;
        ++digits;
    }
    return digits;
}

}  // namespace

std::optional<double> ExactNumber(std::string_view value) {
    if (value.empty() || value.size() > 24) return std::nullopt;
    double number = 0;
    const auto r = std::from_chars(value.data(), value.data() + value.size(), number);
    if (r.ec != std::errc() || r.ptr != value.data() + value.size() || !std::isfinite(number))
        return std::nullopt;
    if (StoredNumberText(number) != value || SignificantDigits(value) > 15) return std::nullopt;
    return number;
}

std::string StoredNumberText(double value) {
    // Negative zero is a spreadsheet's 0.
    return NumberText(value == 0 ? 0.0 : value);
}

}  // namespace zorbix::office
