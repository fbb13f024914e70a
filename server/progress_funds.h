// The funds of the office's progress page, as the summary workbooks show
// them: by plan category from the grid of 资金合计各类计划分布汇总 (each
// category's funds column, summed over the unit type rows as the
// workbook's 单位类型合计 row does) and by region from the grid of
// 资金来源情况 (项目资金收入合计 on the region rows). Amounts in 千元, like
// the workbooks, over every stored project. What each project posts comes
// from the summary run's own core, never from sums made here; the page
// keeps it per project, so a change of one project costs posting what
// every project keeps into two grids, not a summary run.
#pragma once

#include <string>
#include <vector>

#include "server/json_body.h"
#include "store/record.h"
#include "summary/standard_rows.h"
#include "summary/summary_grid.h"
#include "summary/summary_posting.h"

namespace zorbix::server {

struct FundsLine {
    std::string name;
    double amount = 0;
};

struct Funds {
    std::vector<FundsLine> by_category;
    std::vector<FundsLine> by_region;
};

// The funds lines read out of the twelve grids of a summary run.
Funds FundsOfGrids(const std::vector<summary::SummaryGrid>& grids);

// {"by_category": [{"name", "amount"}, …], "by_region": […]}.
Json FundsJson(const Funds& funds);

// What one project posts into the two grids the funds are read from.
struct FundsPart {
    summary::StandardRows rows;            // the rows its figures reach
    summary::OrderedFigures plan_funds{};  // into 资金合计各类计划分布汇总
    double income = 0;                     // into 资金来源情况's 项目资金收入合计
};

// The record columns FundsPartOf reads.
const std::vector<int>& FundsColumns();
FundsPart FundsPartOf(const store::Record& record);

// The two grids, filled with the parts of every project in store order:
// the plan funds keep their fractions, and their sums depend on the order
// as the summary run's do.
class FundsTally {
public:
    FundsTally();
    void Add(const FundsPart& part);
    Funds Lines() const;

private:
    summary::SummaryGrid plan_funds_;
    summary::SummaryGrid sources_;
};

}  // namespace zorbix::server
