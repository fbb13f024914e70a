// The balance and threshold rules of tables two, three and four, as tables
// in the survey's order. A balance is the first term minus the others,
// subtracted one after the other in the order given, in double precision;
// an empty field counts as 0.
#include <array>
#include <cmath>
#include <span>
#include <string_view>
#include <vector>

#include "base/numeric_value.h"
#include "check/compiled_rules.h"
#include "check/rule_focus.h"
#include "check/rule_sets.h"

namespace zorbix::check {
namespace {

// Sums are allowed to be off by this much; rounding on the paper forms.
constexpr double kTolerance = 0.1;

enum class Test {
    Balance,   // |first - rest| above the tolerance
    Exact,     // first - rest is not exactly 0
    AtLeast,   // first - rest below 0
    AnyAbove,  // any term above `limit` (the limit itself passes)
};

struct Rule {
    Test test;
    std::array<std::string_view, 8> terms;
    std::string_view message;
    double limit = 0;
};

// Suffix 1 is the cumulative amount (累计数), suffix 2 this year's (当年数).
const std::array<Rule, 7> kTableTwo = {{
    {Test::AnyAbove,
     {"JF1001", "JF1002", "JF2001", "JF2002"},
     " 表二资金合计数（JF100、JF200） > 1000000千元（十亿元！！），请核对！",
     1000000},
    {Test::Balance,
     {"JF1001", "JF1701", "JF1101", "JF1201", "JF1301", "JF1401", "JF1501", "JF1601"},
     " 表二 JF100 = JF170+JF110+JF120+JF130+JF140+JF150+JF160，累计数有误！"},
    {Test::Balance,
     {"JF1002", "JF1702", "JF1102", "JF1202", "JF1302", "JF1402", "JF1502", "JF1602"},
     " 表二 JF100 = JF170+JF110+JF120+JF130+JF140+JF150+JF160，当年数有误！"},
    {Test::Exact, {"JF1001", "JF2001", "JF4001"}, " 表二 JF400 = JF100-JF200，累计数有误！"},
    {Test::Exact, {"JF1002", "JF2002", "JF4002"}, " 表二 JF400 = JF100-JF200，当年数有误！"},
    {Test::Balance,
     {"JF3001", "JF3111", "JF3121", "JF3131", "JF3141"},
     " 表二 JF300 = JF311+JF312+JF313+JF314，累计数有误！"},
    {Test::Balance,
     {"JF3002", "JF3112", "JF3122", "JF3132", "JF3142"},
     " 表二 JF300 = JF311+JF312+JF313+JF314，当年数有误！"},
}};

const std::array<Rule, 5> kTableThree = {{
    {Test::Balance,
     {"JL100", "JL110", "JL430", "JL440"},
     " 表三 JL100 = JL110+JL430+JL440，有误！"},
    {Test::AtLeast, {"JL100", "JL120", "JL130"}, " 表三 JL100 >= JL120+JL130，有误！"},
    {Test::AtLeast, {"JL100", "JL140", "JL150"}, " 表三 JL100 >= JL140+JL150，有误！"},
    // JL170 and JL180 are named on the form but have no fields: they count 0.
    {Test::AtLeast, {"JL100", "JL160"}, " 表三 JL100 >= JL160+JL170+JL180，有误！"},
    {Test::AtLeast, {"JL400", "JL410", "JL420"}, " 表三 JL400 >= JL410+JL420，有误！"},
}};

const std::array<Rule, 6> kTableFour = {{
    {Test::Balance,
     {"JG901", "JG911", "JG912", "JG913"},
     " 表四 JG901 = JG911+JG912+JG913，有误！"},
    {Test::Balance,
     {"JG902", "JG914", "JG915", "JG916"},
     " 表四 JG902 = JG914+JG915+JG916，有误！"},
    {Test::AtLeast, {"JG702", "JG710"}, " 表四 JG702 >= JG710，有误！"},
    {Test::AtLeast, {"JG710", "JG711"}, " 表四 JG710 >= JG711，有误！"},
    {Test::AtLeast, {"JG702", "JG720"}, " 表四 JG702 >= JG720，有误！"},
    {Test::AnyAbove, {"JG131"}, " 表四 新增产值 > 1500000千元（15亿元！！），请核对！", 1500000},
}};

using Compiled = CompiledRule<Rule>;

std::vector<Compiled> Compile(std::span<const Rule> rules) {
    return CompileRules(rules, &Rule::terms);
}

bool Fails(const Compiled& c, const store::Record& record) {
    auto value = [&](int column) { return base::NumericValue(record[column]); };
    if (c.rule->test == Test::AnyAbove) {
        for (int column : c.columns)
            if (value(column) > c.rule->limit) return true;
        return false;
    }
    double difference = value(c.columns.front());
    for (std::size_t i = 1; i < c.columns.size(); ++i) difference -= value(c.columns[i]);
    switch (c.rule->test) {
        case Test::Balance: return std::fabs(difference) > kTolerance;
        case Test::Exact: return difference != 0;
        case Test::AtLeast: return difference < 0;
        case Test::AnyAbove: break;
    }
    return false;
}

void Run(const std::vector<Compiled>& rules, const store::Record& record, CheckResult& result) {
    RunRules(rules, record, result, Fails);
}

const std::vector<Compiled>& TableTwo() {
    static const std::vector<Compiled> rules = Compile(kTableTwo);
    return rules;
}

const std::vector<Compiled>& TableThree() {
    static const std::vector<Compiled> rules = Compile(kTableThree);
    return rules;
}

const std::vector<Compiled>& TableFour() {
    static const std::vector<Compiled> rules = Compile(kTableFour);
    return rules;
}

// A balance is about its total, the first term; a limit about the first
// term above it.
int FailingColumn(const Compiled& c, const store::Record& record) {
    if (c.rule->test == Test::AnyAbove)
        for (int column : c.columns)
            if (base::NumericValue(record[column]) > c.rule->limit) return column;
    return c.columns.front();
}

}  // namespace

void CheckTableTwo(const store::Record& record, CheckResult& result) {
    Run(TableTwo(), record, result);
}

void CheckTableThree(const store::Record& record, CheckResult& result) {
    Run(TableThree(), record, result);
}

void CheckTableFour(const store::Record& record, CheckResult& result) {
    Run(TableFour(), record, result);
}

void AddBalanceFields(std::vector<RuleFields>& out) {
    for (const auto* table : {&TableTwo(), &TableThree(), &TableFour()})
        for (const Compiled& c : *table) out.push_back({c.rule->message, c.columns});
}

std::optional<int> BalanceFocus(std::string_view message, const store::Record& record) {
    for (const auto* table : {&TableTwo(), &TableThree(), &TableFour()})
        for (const Compiled& c : *table)
            if (c.rule->message == message) return FailingColumn(c, record);
    return std::nullopt;
}

}  // namespace zorbix::check
