#include "store/project_number.h"

#include <cmath>

#include "base/numeric_value.h"
#include "base/utf8.h"

namespace zorbix::store {
namespace {

std::string_view Trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool HoldsDigit(std::string_view text) {
    return text.find_first_of("0123456789") != std::string_view::npos;
}

}  // namespace

bool HasProjectNumberLength(std::string_view number) {
    return base::CharacterCount(number) == kProjectNumberCharacters;
}

bool SameProjectNumber(double a, double b) { return std::fabs(a - b) < 0.1; }

LocateKey::LocateKey(std::string_view wanted)
    : numeric_(HoldsDigit(wanted)), text_(numeric_ ? "" : Trimmed(wanted)) {
    if (numeric_) value_ = base::NumericValue(wanted);
}

bool LocateKey::Matches(std::string_view stored_number) const {
    if (numeric_) return SameProjectNumber(base::NumericValue(stored_number), value_);
    return Trimmed(stored_number) == text_;
}

}  // namespace zorbix::store
