#include "check/field_problems.h"

#include <vector>

#include "base/characters.h"
#include "base/numeric_value.h"

namespace zorbix::check {
namespace {

// The characters (code points) of a UTF-8 text, each as its own string.
std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            out.push_back(text.substr(start, i - start));
            start = i;
        }
    return out;
}

bool NotAppraised(std::string_view jb81) { return base::NumericValue(jb81) == 2; }

}  // namespace

std::optional<std::string> CheckProjectNumber(std::string_view jb02) {
    if (base::CharacterCount(jb02) == 12) return std::nullopt;
    return std::string(kBadProjectNumber);
}

std::optional<std::string> CheckEmail(std::string_view jb06) {
    const auto chars = Characters(jb06);
    for (std::size_t i = 1; i < chars.size(); ++i)
        if (chars[i] == "@") {
            if (i + 1 < chars.size()) return std::nullopt;
            break;
        }
    return std::string(kBadEmail);
}

std::optional<std::string> CheckAppraisalDate(std::string_view jb81, std::string_view jb82,
                                              std::string_view jb63_1) {
    if (NotAppraised(jb81)) return std::nullopt;
    const auto chars = Characters(jb82);
    const bool dash = chars.size() >= 5 && chars[4] == "-";
    if (dash && base::NumericValue(jb63_1) <= base::NumericValue(jb82)) return std::nullopt;
    return std::string(kBadAppraisalDate);
}

std::optional<std::string> CheckOnLeaving(store::RecordSet& records, std::string_view column) {
    if (!records.HasCurrent()) return std::nullopt;  // nothing is shown to check
    if (column == "JB02") return CheckProjectNumber(records.Value("JB02"));
    if (column == "JB06") return CheckEmail(records.Value("JB06"));
    if (column != "JB82") return std::nullopt;
    if (NotAppraised(records.Value("JB81"))) {
        records.SetValue("JB83", "");
        return std::nullopt;
    }
    return CheckAppraisalDate(records.Value("JB81"), records.Value("JB82"),
                              records.Value("JB63_1"));
}

}  // namespace zorbix::check
