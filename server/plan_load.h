// POST /api/plan: the office loads the plan workbook (the bytes of
// 2013计划.xlsx as the body). Every planned project not yet stored becomes
// a 未填报 shell with its number, name and unit, belonging to that unit,
// so the unit finds it waiting when it logs in, and a missing report shows
// before the deadline. The workbook is kept as the program directory's
// plan workbook, which the reconciliation reads. Loading again adds only
// what is new: nothing already stored is changed.
#pragma once

#include <string>
#include <vector>

#include "reconcile/plan_list.h"
#include "server/json_body.h"
#include "server/run_store.h"
#include "server/session_gate.h"

namespace zorbix::server {

// The history's operation for shells made from the plan.
inline constexpr std::string_view kPlanLoad = "载入计划";

// The planned projects of the workbook bytes, read as the reconciliation
// reads them. Throws ApiError 400 with the reader's message for a file
// that is no plan workbook (damaged, hostile, laid out otherwise), 422
// naming the row for a name or unit the store cannot hold.
std::vector<reconcile::PlannedProject> ReadUploadedPlan(const std::string& bytes);

// Makes the shells and keeps the workbook; answers {"planned", "added",
// "already", "units_without_account": [unit, …]}. A stored project that
// belongs to no unit yet is given the plan's unit; nothing else of it
// changes. The caller must work for the office. Works on the run's own
// connection (run_store.h); the shared store follows afterwards.
Json LoadPlan(RunStore& run, const Caller& caller,
              const std::vector<reconcile::PlannedProject>& plan, const std::string& bytes);

}  // namespace zorbix::server
