#include "server/reconcile_data.h"

#include "reconcile/reconciliation.h"
#include "server/api_error.h"

namespace zorbix::server {
namespace {

using reconcile::ReconcileFinding;

Json FindingJson(const ReconcileFinding& f) {
    const auto* planned = f.planned;
    const auto* reported = f.reported;
    return {{"kind", reconcile::KindName(f.kind)},
            {"number", reported ? reported->jb02 : planned->number_text},
            {"name", reported ? reported->jb01 : planned->details[0]},
            {"unit", reported ? reported->xmcddw : planned->details[1]},
            {"department", reported ? reported->zgdw : planned->details[2]},
            {"planned_amount", planned ? Json(planned->amount) : Json(nullptr)},
            {"reported_amount", reported ? Json(reported->jf1102) : Json(nullptr)}};
}

}  // namespace

std::vector<reconcile::PlannedProject> LoadedPlan(const std::filesystem::path& program_dir) {
    try {
        return reconcile::ReadPlanList(reconcile::FindPlanWorkbook(program_dir));
    } catch (const base::Failure& failure) {
        throw ApiError(422, std::string(failure.what()) + "请先上传计划表。");
    }
}

Json ReconcileJson(StoreParts& parts, const std::vector<reconcile::PlannedProject>& plan) {
    parts.records().FollowChanges();
    const auto reported = reconcile::ReportedProjects(parts.records());
    Json findings = Json::array();
    Json counts = {{"漏报", 0}, {"错报", 0}, {"金额错误", 0}};
    for (const ReconcileFinding& f : reconcile::ReconciliationFindings(plan, reported)) {
        findings.push_back(FindingJson(f));
        counts[reconcile::KindName(f.kind)] = counts[reconcile::KindName(f.kind)].get<int>() + 1;
    }
    return {{"findings", findings},
            {"counts", counts},
            {"panel", reconcile::ReconciliationText(plan, reported)}};
}

}  // namespace zorbix::server
