// Which column a coded answer counts in, for the summaries that count
// projects or people by code rather than add amounts.
#pragma once

#include <cstdint>
#include <string_view>

namespace zorbix::summary {

// Progress (JB71): column code + 1, an empty field (0) counting as 1.
// A column outside the grid means the record is not counted.
std::int64_t ProgressColumn(std::int64_t code);

// First unfinished reason (JB72_01): the reason's own column 2 to 12; any
// other code, and a text shorter than two characters, column 16 (kept in
// the grid but beyond the columns written).
int ReasonColumn(std::string_view text);

// People (JB42n, JB46n, JB45n, JB43n) by the rounded attribute value.
int SexColumn(std::int64_t code);
int TitleColumn(std::int64_t code);
int DegreeColumn(std::int64_t code);
int BirthYearColumn(std::int64_t year);

// The count and amount columns of a plan category (JB61, rounded). The
// empty code and every code without a pair of its own use columns 29 and
// 30, which are never written.
struct PlanPair {
    int count;
    int amount;
};
PlanPair PlanColumns(std::int64_t code);

// The plan categories that own a pair, in column order.
inline constexpr int kPlanPairCodes[] = {1100, 2101, 2102, 2201, 2300, 2400,
                                         3400, 4100, 4200, 4300, 5100, 2105};

// Age groups of the year-of-birth columns 13 to 20, as headings.
inline constexpr const char* kBirthYearHeadings[] = {"1980年及以后", "1975-1979年", "1970-1974年",
                                                     "1965-1969年",  "1960-1964年", "1955-1959年",
                                                     "1950-1954年",  "1949年及以前"};

}  // namespace zorbix::summary
