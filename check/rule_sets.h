// The survey's four rule sets: the cover with table one, and the balance
// identities of tables two, three and four. Each tests its rules in the
// survey's order on one record, appends a finding line for every failed rule
// and never stops at the first failure, changes the record or fails: a text
// where a number belongs counts as the number its leading characters form.
#pragma once

#include "check/check_result.h"
#include "store/catalogue.h"
#include "store/record.h"
#include "store/record_set.h"

namespace zorbix::check {

// Required fields, code fields, plausible years and the region code.
void CheckTableOne(const store::Record& record, CheckResult& result);
// Funds: sources, spending, balance and use of provincial funds.
void CheckTableTwo(const store::Record& record, CheckResult& result);
// People working on the project.
void CheckTableThree(const store::Record& record, CheckResult& result);
// Results and benefits.
void CheckTableFour(const store::Record& record, CheckResult& result);

// The same on the current record of a record set, pending changes included
// (no current record reads as an empty record).
void CheckTableOne(const store::RecordSet& records, CheckResult& result);
void CheckTableTwo(const store::RecordSet& records, CheckResult& result);
void CheckTableThree(const store::RecordSet& records, CheckResult& result);
void CheckTableFour(const store::RecordSet& records, CheckResult& result);

// All four rule sets in their order: table one with the cover first.
void CheckAllTables(const store::Record& record, CheckResult& result);

// The rule set that guards leaving a page: table one (with the cover), two,
// three or four. False for a page without one (the cover, the list).
bool CheckPage(store::Page page, const store::Record& record, CheckResult& result);

}  // namespace zorbix::check
