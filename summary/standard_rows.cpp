#include "summary/standard_rows.h"

#include <charconv>
#include <cmath>

#include "base/numeric_value.h"
#include "store/catalogue.h"
#include "store/code_lists.h"
#include "store/province.h"
#include "summary/summary_figures.h"

namespace zorbix::summary {
namespace {

struct PlanRow {
    std::int64_t code;
    int row;
};

// The plan categories with rows, 2105 last; 3400 and 4300 have rows although
// the picker does not offer them.
constexpr std::array<PlanRow, 12> kPlanRows = {{{1100, 38},
                                                {2101, 39},
                                                {2102, 40},
                                                {2201, 41},
                                                {2300, 42},
                                                {2400, 43},
                                                {3400, 44},
                                                {4100, 45},
                                                {4200, 46},
                                                {4300, 47},
                                                {5100, 48},
                                                {2105, 49}}};

std::int64_t CountyRegionCode() {
    return static_cast<std::int64_t>(base::NumericValue(store::Regions().back().code));
}

// The decimal form of a region key held as a single-precision number.
std::string SingleDecimal(std::int64_t key) {
    const float value = static_cast<float>(key);
    char buffer[48];
    std::to_chars_result done{};
    if (std::fabs(value) < 1e15f)
        done = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value));
    else
        done = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, done.ptr);
}

// The columns of the five groups' keys, in group order.
const std::array<int, 5>& KeyColumns() {
    static const std::array<int, 5> columns = {
        store::ColumnIndex("JB25"), store::ColumnIndex("JB22"), store::ColumnIndex("JB61"),
        store::ColumnIndex("JB62"), store::ColumnIndex("JB26")};
    return columns;
}

}  // namespace

int UnitTypeRow(std::int64_t key) { return key >= 1 && key <= 20 ? static_cast<int>(key) + 1 : 12; }

int RegionRow(std::int64_t key) {
    if (key == CountyRegionCode()) return 33;
    const std::string digits = SingleDecimal(key);
    // The third and fourth characters; missing ones count as nothing.
    const std::string middle = digits.size() > 2 ? digits.substr(2, 2) : std::string();
    return static_cast<int>(CutKey(middle)) + 15;
}

std::optional<int> PlanCategoryRow(std::int64_t key) {
    for (const PlanRow& p : kPlanRows)
        if (p.code == key) return p.row;
    return std::nullopt;
}

std::optional<int> TechnologyFieldRow(std::int64_t key) {
    if (key >= 11 && key <= 23) return static_cast<int>(key) + 42;
    return std::nullopt;
}

int DepartmentRow(std::int64_t key) {
    return key >= 1 && key <= 80 ? static_cast<int>(key) + 68 : 149;
}

StandardRows StandardRowsOf(const store::Record& record) {
    const auto [kJB25, kJB22, kJB61, kJB62, kJB26] = KeyColumns();
    StandardRows rows;
    auto add = [&rows](std::optional<int> row) {
        if (row) rows.rows[rows.count++] = *row;
    };
    add(UnitTypeRow(CutKey(record[kJB25])));
    add(RegionRow(CutKey(record[kJB22])));
    add(PlanCategoryRow(CutKey(record[kJB61])));
    add(TechnologyFieldRow(CutKey(record[kJB62])));
    add(DepartmentRow(CutKey(record[kJB26])));
    return rows;
}

std::vector<int> StandardRowColumns() { return {KeyColumns().begin(), KeyColumns().end()}; }

}  // namespace zorbix::summary
