// Where a finding leads the clerk: the project it names and the field its
// rule is about. The rule tables know which fields each rule reads; this is
// also the one place that turns a line of text back into a finding, for
// text that did not come from a check.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"
#include "store/catalogue.h"
#include "store/record.h"

namespace zorbix::check {

// What a rule table tells about the rule of one message.
struct RuleFields {
    std::string_view message;
    std::vector<int> columns;  // every field the rule reads, in its order
};

// The rules of every table, in check order (table one with the cover first).
const std::vector<RuleFields>& AllRuleFields();

// A finding line of the panel split into its parts; nullopt for any other
// line (headings, the closing line, a reconciliation's lines, typed text).
struct FindingLine {
    std::string number;  // the project number exactly as the line holds it
    std::string_view message;
};
std::optional<FindingLine> ParseFindingLine(std::string_view line);

// The finding a line of text stands for, for text that reaches the panel
// without the findings it was made from (typed by the clerk, set as text):
// its project and message, without a field (page None, column -1), which
// is worked out from the project's record where it is needed.
std::optional<Finding> FindingOfLine(std::string_view line);

// Every field the rule (or the rules) of that message read; empty for a
// text that is no rule's message.
std::vector<int> FindingColumns(std::string_view message);

// The field a finding puts the cursor into: of the rule's fields, the first
// that still fails on `record`; the rule's first field when it passes now.
// Where the rule tests a condition field and a dependent one (progress and
// its reason, appraisal and its date), the dependent one. -1 for a text that
// is no rule's message.
int FocusColumn(std::string_view message, const store::Record& record);

// The field the cursor goes to when the leave check of `page` refuses: the
// focus of the first finding of that page's rule set whose field lies on
// that page; nullopt when no such finding (the cover's, seen from table one).
std::optional<int> FirstFailingColumn(store::Page page, const store::Record& record);

}  // namespace zorbix::check
