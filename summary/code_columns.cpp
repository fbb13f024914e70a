#include "summary/code_columns.h"

#include "base/utf8.h"
#include "summary/summary_figures.h"

namespace zorbix::summary {
namespace {

struct CodeColumn {
    std::int64_t code;
    int column;
};

constexpr CodeColumn kReasons[] = {{0, 2},  {10, 3}, {20, 4},  {30, 5},  {41, 6}, {42, 7},
                                   {50, 8}, {60, 9}, {70, 10}, {80, 11}, {90, 12}};
constexpr int kOtherReasonColumn = 16;
constexpr PlanPair kNoPlanPair = {29, 30};

// Lower bounds of the age groups from the youngest down, columns 13 to 19;
// every earlier year counts in column 20.
constexpr std::int64_t kBandStarts[] = {1980, 1975, 1970, 1965, 1960, 1955, 1950};

}  // namespace

std::int64_t ProgressColumn(std::int64_t code) { return (code == 0 ? 1 : code) + 1; }

int ReasonColumn(std::string_view text) {
    if (base::CharacterCount(text) < 2) return kOtherReasonColumn;
    const std::int64_t code = RoundedCode(text);
    for (const CodeColumn& r : kReasons)
        if (r.code == code) return r.column;
    return kOtherReasonColumn;
}

int SexColumn(std::int64_t code) { return code < 2 ? 3 : 4; }

int TitleColumn(std::int64_t code) {
    return code >= 1 && code <= 3 ? static_cast<int>(code) + 4 : 8;
}

int DegreeColumn(std::int64_t code) {
    return code >= 1 && code <= 3 ? static_cast<int>(code) + 8 : 12;
}

int BirthYearColumn(std::int64_t year) {
    int column = 13;
    for (std::int64_t start : kBandStarts) {
        if (year >= start) return column;
        ++column;
    }
    return column;
}

PlanPair PlanColumns(std::int64_t code) {
    int count = 4;
    for (int owner : kPlanPairCodes) {
        if (owner == code) return {count, count + 1};
        count += 2;
    }
    return kNoPlanPair;
}

}  // namespace zorbix::summary
