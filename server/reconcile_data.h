// GET /api/reconcile: the reconciliation of the stored projects with the
// loaded plan workbook (未报项目核对) as data: each finding with its kind
// (漏报, 错报, 金额错误), the project as planned and as stored, and the
// panel text the window shows for the same run.
#pragma once

#include <filesystem>
#include <vector>

#include "reconcile/plan_list.h"
#include "server/json_body.h"
#include "server/shared_store.h"

namespace zorbix::server {

// The program directory's plan workbook, read as the reconciliation reads
// it. Throws ApiError 422 with the reader's message when no plan was
// loaded or it cannot be read.
std::vector<reconcile::PlannedProject> LoadedPlan(const std::filesystem::path& program_dir);

// {"findings": [{"kind", "number", "name", "unit", "department",
// "planned_amount", "reported_amount"}, …], "counts": {kind: n}, "panel"};
// amounts as the plan (万元) and the store (JF1102, 千元) give them, null
// where the side is missing.
Json ReconcileJson(StoreParts& parts, const std::vector<reconcile::PlannedProject>& plan);

}  // namespace zorbix::server
