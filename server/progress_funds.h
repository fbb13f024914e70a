// The funds of the office's progress page, as the summary workbooks show
// them: by plan category from the grid of 资金合计各类计划分布汇总 (each
// category's funds column, summed over the unit type rows as the
// workbook's 单位类型合计 row does) and by region from the grid of
// 资金来源情况 (项目资金收入合计 on the region rows). Amounts in 千元, like
// the workbooks, over every stored project. The grids come from the
// summary run's own core, never from sums made here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "server/json_body.h"
#include "server/progress_marker.h"
#include "server/shared_store.h"
#include "summary/summary_grid.h"

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

// The funds, computed again only when the store changed (progress_marker.h):
// a summary run over a full store takes far longer than the rest of the
// page. Used under the store's lock only.
class FundsCache {
public:
    const Funds& Of(StoreParts& parts, const StoreMarker& now);

private:
    std::optional<StoreMarker> marker_;
    Funds funds_;
};

}  // namespace zorbix::server
