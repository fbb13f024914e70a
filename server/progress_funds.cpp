#include "server/progress_funds.h"

#include <algorithm>
#include <stdexcept>

#include "summary/code_columns.h"
#include "summary/standard_rows.h"
#include "summary/summary_catalogue.h"

namespace zorbix::server {
namespace {

constexpr std::string_view kCategorySummary = "资金合计各类计划分布汇总";
constexpr std::string_view kSourcesSummary = "资金来源情况";
constexpr int kFundsTotalColumn = 2;  // 资金来源情况: 项目资金收入合计 (JF1002)
constexpr std::string_view kUnitTypeGroup = "按单位类型分";
constexpr std::string_view kRegionGroup = "按地区分";
// Rows the code lists never reach; shown only when a stray code put funds there.
constexpr std::string_view kUnlistedRows = "代码表以外的代码";

std::size_t IndexOfSummary(std::string_view name) {
    const auto summaries = summary::Summaries();
    for (std::size_t i = 0; i < summaries.size(); ++i)
        if (summaries[i].name == name) return i;
    throw std::logic_error("progress: no summary " + std::string(name));
}

const summary::SummaryDefinition& SummaryNamed(std::string_view name) {
    return summary::Summaries()[IndexOfSummary(name)];
}

const summary::SummaryGrid& GridNamed(const std::vector<summary::SummaryGrid>& grids,
                                      std::string_view name) {
    return grids.at(IndexOfSummary(name));
}

summary::RowGroup GroupTitled(std::string_view title) {
    for (const summary::RowGroup& group : summary::RowGroups())
        if (group.title == title) return group;
    throw std::logic_error("progress: no row group " + std::string(title));
}

double ColumnSum(const summary::SummaryGrid& grid, const summary::RowGroup& group, int column) {
    double sum = 0;
    for (int row = group.first_row; row <= group.last_row; ++row) sum += grid.At(row, column);
    return sum;
}

std::vector<FundsLine> ByCategory(const summary::SummaryGrid& grid) {
    const summary::RowGroup unit_types = GroupTitled(kUnitTypeGroup);
    std::vector<FundsLine> lines;
    for (const std::int64_t code : summary::kPlanPairCodes)
        lines.push_back({summary::PlanCategoryName(code),
                         ColumnSum(grid, unit_types, summary::PlanColumns(code).amount)});
    return lines;
}

std::vector<FundsLine> ByRegion(const summary::SummaryGrid& grid) {
    const summary::RowGroup regions = GroupTitled(kRegionGroup);
    std::vector<FundsLine> lines;
    for (const summary::RowLabel& label : summary::StandardRowLabels()) {
        if (label.heading || label.row < regions.first_row || label.row > regions.last_row)
            continue;
        const double amount = grid.At(label.row, kFundsTotalColumn);
        if (label.text == kUnlistedRows && amount == 0) continue;
        lines.push_back({label.text, amount});
    }
    return lines;
}

Json LinesJson(const std::vector<FundsLine>& lines) {
    Json json = Json::array();
    for (const FundsLine& line : lines)
        json.push_back({{"name", line.name}, {"amount", line.amount}});
    return json;
}

}  // namespace

Funds FundsOfGrids(const std::vector<summary::SummaryGrid>& grids) {
    return {ByCategory(GridNamed(grids, kCategorySummary)),
            ByRegion(GridNamed(grids, kSourcesSummary))};
}

Json FundsJson(const Funds& funds) {
    return {{"by_category", LinesJson(funds.by_category)},
            {"by_region", LinesJson(funds.by_region)}};
}

const std::vector<int>& FundsColumns() {
    static const std::vector<int> columns = summary::PostedColumns();
    return columns;
}

FundsPart FundsPartOf(const store::Record& record) {
    return {summary::StandardRowsOf(record),
            summary::OrderedFiguresOf(SummaryNamed(kCategorySummary), record),
            summary::PostedAmount(SummaryNamed(kSourcesSummary), record, kFundsTotalColumn)};
}

FundsTally::FundsTally()
    : plan_funds_(SummaryNamed(kCategorySummary).grid_columns),
      sources_(SummaryNamed(kSourcesSummary).grid_columns) {}

void FundsTally::Add(const FundsPart& part) {
    summary::PostOrderedFigures(part.plan_funds, part.rows, plan_funds_);
    sources_.AddToRows(part.rows.Span(), kFundsTotalColumn, part.income);
}

Funds FundsTally::Lines() const { return {ByCategory(plan_funds_), ByRegion(sources_)}; }

}  // namespace zorbix::server
