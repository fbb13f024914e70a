// What each rule table tells the finding navigation: the fields of its rules
// and, for a message, the field the cursor goes to. Kept beside the tables
// (table_one_rules.cpp, balance_rules.cpp) because only they know what each
// rule tests.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "check/finding_fields.h"

namespace zorbix::check {

void AddTableOneFields(std::vector<RuleFields>& out);
void AddBalanceFields(std::vector<RuleFields>& out);

// nullopt when the message is none of the table's rules.
std::optional<int> TableOneFocus(std::string_view message, const store::Record& record);
std::optional<int> BalanceFocus(std::string_view message, const store::Record& record);

}  // namespace zorbix::check
