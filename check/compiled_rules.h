// What the rule sets share: a rule table's rules with their column names
// resolved to indices once, and the loop that appends a finding for every
// rule a record breaks, in the table's order.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "check/check_result.h"
#include "store/catalogue.h"
#include "store/record.h"

namespace zorbix::check {

template <typename Rule>
struct CompiledRule {
    const Rule* rule;
    std::vector<int> columns;  // of the rule's names, empty names left out
};

// Resolves the column names that `names` picks out of each rule.
template <typename Rule, typename Names>
std::vector<CompiledRule<Rule>> CompileRules(std::span<const Rule> rules, Names Rule::*names) {
    std::vector<CompiledRule<Rule>> out;
    for (const Rule& rule : rules) {
        CompiledRule<Rule> c{&rule, {}};
        for (std::string_view name : rule.*names)
            if (!name.empty()) c.columns.push_back(store::ColumnIndex(name));
        out.push_back(std::move(c));
    }
    return out;
}

// Sets the field each finding from `first` on leads to (FocusColumn).
void LocateFindings(const store::Record& record, CheckResult& result, std::size_t first);

// Adds a finding for every rule for which `fails(rule, record)` holds.
template <typename Rule, typename Fails>
void RunRules(const std::vector<CompiledRule<Rule>>& rules, const store::Record& record,
              CheckResult& result, Fails fails) {
    const std::string_view number = record[store::kNumberColumn];
    const std::size_t first = result.findings.size();
    for (const CompiledRule<Rule>& c : rules)
        if (fails(c, record)) result.Add(number, c.rule->message);
    if (result.findings.size() > first) LocateFindings(record, result, first);
}

}  // namespace zorbix::check
