#include "check/field_problems.h"

#include "base/numeric_value.h"
#include "base/utf8.h"
#include "store/project_number.h"

namespace zorbix::check {
namespace {

bool NotAppraised(std::string_view jb81) { return base::NumericValue(jb81) == 2; }

}  // namespace

std::optional<std::string> ProjectNumberProblem(std::string_view jb02) {
    if (store::HasProjectNumberLength(jb02)) return std::nullopt;
    return std::string(kBadProjectNumber);
}

std::optional<std::string> EmailProblem(std::string_view jb06) {
    const auto chars = base::Characters(jb06);
    for (std::size_t i = 1; i < chars.size(); ++i)
        if (chars[i] == "@") {
            if (i + 1 < chars.size()) return std::nullopt;
            break;
        }
    return std::string(kBadEmail);
}

std::optional<std::string> AppraisalDateProblem(std::string_view jb81, std::string_view jb82,
                                                std::string_view jb63_1) {
    if (NotAppraised(jb81)) return std::nullopt;
    const auto chars = base::Characters(jb82);
    const bool dash = chars.size() >= 5 && chars[4] == "-";
    if (dash && base::NumericValue(jb63_1) <= base::NumericValue(jb82)) return std::nullopt;
    return std::string(kBadAppraisalDate);
}

std::optional<std::string> LeavingProblem(store::RecordSet& records, std::string_view column) {
    if (!records.HasCurrent()) return std::nullopt;  // nothing is shown to check
    if (column == "JB02") return ProjectNumberProblem(records.Value("JB02"));
    if (column == "JB06") return EmailProblem(records.Value("JB06"));
    if (column != "JB82") return std::nullopt;
    if (NotAppraised(records.Value("JB81"))) {
        records.SetValue("JB83", "");
        return std::nullopt;
    }
    return AppraisalDateProblem(records.Value("JB81"), records.Value("JB82"),
                                records.Value("JB63_1"));
}

}  // namespace zorbix::check
