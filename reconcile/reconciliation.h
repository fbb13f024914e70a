// The comparison of the reported projects with the plan list and the lines
// it writes into the check result panel: planned projects not reported
// (漏报), reported projects not in the plan (错报) and matched projects whose
// provincial appropriation differs from the plan (金额错误).
#pragma once

#include <string>
#include <vector>

#include "reconcile/plan_list.h"
#include "store/record_set.h"

namespace zorbix::reconcile {

// What the comparison needs of one stored project.
struct ReportedProject {
    std::string jb02;    // project number as stored
    std::string jb01;    // project name
    std::string xmcddw;  // undertaking unit
    std::string zgdw;    // supervising department
    std::string jf1102;  // provincial appropriation of the survey year, thousand yuan
};

// Every stored project in store order. Moves the set to its first record
// first, which writes a pending change, so the comparison sees what the
// pages show; the set stays there. Throws base::Failure when the store
// cannot be read.
std::vector<ReportedProject> ReportedProjects(store::RecordSet& records);

// True when the planned amount (ten thousand yuan) and the record's amount
// (thousand yuan) differ by more than 0.01 ten thousand yuan.
bool AmountDiffers(double planned, std::string_view jf1102);

// One finding of a reconciliation: a planned project not reported, a
// reported project not in the plan, or a matched one whose amount differs.
struct ReconcileFinding {
    enum class Kind { Missing, WronglyReported, AmountError };
    Kind kind = Kind::Missing;
    const PlannedProject* planned = nullptr;    // none for WronglyReported
    const ReportedProject* reported = nullptr;  // none for Missing
};

// The findings in the order the panel lists them: both lists in ascending
// order of their project numbers' values, walked to their ends. The
// findings point into `plan` and `reported`.
std::vector<ReconcileFinding> ReconciliationFindings(const std::vector<PlannedProject>& plan,
                                                     const std::vector<ReportedProject>& reported);

// The kind as the panel names it ("漏报", "错报", "金额错误").
const char* KindName(ReconcileFinding::Kind kind);

// The panel text of a reconciliation, every line ending in CR LF: title,
// totals, heading, rule, then one numbered line per finding. Both lists are
// taken in ascending order of their project numbers' values and walked to
// their ends.
std::string ReconciliationText(std::vector<PlannedProject> plan,
                               std::vector<ReportedProject> reported);

}  // namespace zorbix::reconcile
