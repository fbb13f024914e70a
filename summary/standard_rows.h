// The standard row layout every summary posts into: five groups of rows of
// the template's first sheet, one after another, chosen by a project's
// codes. Unit type (JB25) rows 2 to 12, region (JB22) rows 15 to 33, plan
// category (JB61) rows 38 to 49, technology field (JB62) rows 53 to 65,
// department (JB26) rows 69 to 149. A project reaches exactly one row of
// the unit type, region and department groups and at most one of the
// others. The rules are arithmetic on the codes, so an odd code can land in
// another group's rows (unit type 15 lands in row 16); that is kept.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "store/record.h"

namespace zorbix::summary {

// Group rules on the keys read from the fields.
int UnitTypeRow(std::int64_t key);
int RegionRow(std::int64_t key);
std::optional<int> PlanCategoryRow(std::int64_t key);
std::optional<int> TechnologyFieldRow(std::int64_t key);
int DepartmentRow(std::int64_t key);

// The rows one project reaches, group by group in the order unit type,
// region, plan category, technology field, department.
struct StandardRows {
    std::array<int, 5> rows{};
    int count = 0;
    const int* begin() const { return rows.data(); }
    const int* end() const { return rows.data() + count; }
    std::span<const int> Span() const { return {rows.data(), static_cast<std::size_t>(count)}; }
};

StandardRows StandardRowsOf(const store::Record& record);

// The record columns StandardRowsOf reads.
std::vector<int> StandardRowColumns();

// What the template shows in the first column, made from the same code
// lists the pickers offer and placed by the same rules, so labels and
// figures cannot part.
struct RowLabel {
    int row;
    std::string text;
    bool heading;  // a group heading or a total row rather than a code row
};

// The group of a row layout block, for headings and totals.
struct RowGroup {
    std::string title;  // "按地区分"
    int heading_row;    // 0 when the group has no row of its own for it
    int first_row;
    int last_row;
    int total_row;
};

// The heading of the group totals, right below the department group; the
// five totals follow it in group order.
inline constexpr int kTotalsHeadingRow = 150;

std::vector<RowGroup> RowGroups();

// The name of a plan category in labels and headings: the picker's item
// ("1100.重大科技专项"), and for the two codes that have rows and columns
// but no item (3400, 4300), the code with a name that says so.
std::string PlanCategoryName(std::int64_t code);
std::vector<RowLabel> StandardRowLabels();

}  // namespace zorbix::summary
