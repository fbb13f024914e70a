// The first column of every summary template: group headings, the code rows
// named by the pickers' own item texts, and the total rows.
#include <algorithm>
#include <string>

#include "base/message_text.h"
#include "store/code_lists.h"
#include "summary/standard_rows.h"
#include "summary/summary_figures.h"

namespace zorbix::summary {
namespace {

using store::Picker;

// Plan categories that have rows but no picker item.
constexpr std::array<std::int64_t, 2> kUnlistedPlanCodes = {3400, 4300};
constexpr const char* kUnlistedPlanName = ".代码表未列的计划类别";
constexpr const char* kUnlistedCodes = "代码表以外的代码";

template <typename Rule>
void AddItems(std::vector<RowLabel>& labels, Picker picker, Rule rule) {
    for (const std::string& item : store::PickerItems(picker)) {
        const std::optional<int> row = rule(CutKey(item));
        if (row) labels.push_back({*row, item, false});
    }
}

// The rows between the groups receive figures only from codes outside the
// code lists (unit type 12 lands in row 13, a region whose third and fourth
// digits are 19 in row 34); they are labelled so, so that such a figure is
// never printed without a label.
void AddUnlistedRows(std::vector<RowLabel>& labels) {
    std::vector<bool> labelled(kTotalsHeadingRow, false);
    for (const RowLabel& label : labels)
        if (label.row < kTotalsHeadingRow) labelled[static_cast<std::size_t>(label.row)] = true;
    for (int row = 2; row < kTotalsHeadingRow; ++row)
        if (!labelled[static_cast<std::size_t>(row)])
            labels.push_back({row, kUnlistedCodes, false});
}

}  // namespace

std::vector<RowGroup> RowGroups() {
    // The totals lie below the last row any code can reach (the department
    // rule's catch-all), so no figure can land on a total.
    return {{"按单位类型分", 1, 2, 12, kTotalsHeadingRow + 1},
            {"按地区分", 14, 15, 33, kTotalsHeadingRow + 2},
            {"按计划类别分", 37, 38, 49, kTotalsHeadingRow + 3},
            {"按技术领域分", 52, 53, 65, kTotalsHeadingRow + 4},
            {"按主管部门分", 68, 69, 149, kTotalsHeadingRow + 5}};
}

std::string PlanCategoryName(std::int64_t code) {
    for (const std::string& item : store::PickerItems(Picker::JB61))
        if (CutKey(item) == code) return item;
    return std::to_string(code) + kUnlistedPlanName;
}

std::vector<RowLabel> StandardRowLabels() {
    std::vector<RowLabel> labels;
    AddItems(labels, Picker::JB25_JB52_JB54, [](auto k) { return std::optional(UnitTypeRow(k)); });
    labels.push_back({RegionRow(0), "地区未填或不详", false});
    AddItems(labels, Picker::JB22, [](auto k) { return std::optional(RegionRow(k)); });
    AddItems(labels, Picker::JB61, PlanCategoryRow);
    for (std::int64_t code : kUnlistedPlanCodes)
        labels.push_back({*PlanCategoryRow(code), PlanCategoryName(code), false});
    AddItems(labels, Picker::JB62, TechnologyFieldRow);
    AddItems(labels, Picker::JB26, [](auto k) { return std::optional(DepartmentRow(k)); });
    for (const RowGroup& group : RowGroups()) {
        // Row 1 heads column A on every printed page, so it says what the
        // column holds before naming the first group.
        labels.push_back({group.heading_row,
                          group.heading_row == 1
                              ? base::MessageText("项目分组（首组：{1}）", {group.title})
                              : group.title,
                          true});
        const std::string name = group.title.substr(std::string("按").size());
        const std::string stem = name.substr(0, name.size() - std::string("分").size());
        labels.push_back({group.total_row, base::MessageText("{1}合计", {stem}), true});
    }
    labels.push_back({kTotalsHeadingRow, "各组合计", true});
    AddUnlistedRows(labels);
    std::stable_sort(labels.begin(), labels.end(),
                     [](const RowLabel& a, const RowLabel& b) { return a.row < b.row; });
    return labels;
}

}  // namespace zorbix::summary
