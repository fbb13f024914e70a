// The rules of the cover and table one, as a table in the survey's order.
// The messages name the fields by the survey form's "JH" numbering.
#include <array>
#include <span>
#include <string_view>
#include <vector>

#include "base/numeric_value.h"
#include "base/utf8.h"
#include "check/compiled_rules.h"
#include "check/rule_focus.h"
#include "check/rule_sets.h"
#include "store/province.h"

namespace zorbix::check {
namespace {

using base::CharacterCount;
using base::NumericValue;

enum class Test {
    AnyShorter,        // any field has fewer than `length` characters
    AnyYearOutside,    // the value of any field is below `low` or above `high`
    RegionCode,        // not `length` characters, or not the province's prefix
    LengthIsNot,       // not exactly `length` characters
    EndBeforeStart,    // value of fields[0] (end) below value of fields[1] (start)
    ShorterWhenAbove,  // value of fields[0] above `high`, fields[1] shorter than `length`
    ShorterWhenBelow,  // value of fields[0] below `low`, fields[1] shorter than `length`
};

struct Rule {
    Test test;
    std::array<std::string_view, 3> fields;
    std::string_view message;
    std::size_t length = 0;
    double low = 0;
    double high = 0;
};

// Rules that name several fields give one line however many of them fail.
const std::array<Rule, 20> kRules = {{
    {Test::AnyShorter, {"JB411", "JB412", "JB413"}, " 表一 JH41项目参加人员漏填！", 2},
    {Test::AnyYearOutside,
     {"JB431", "JB432", "JB433"},
     " 表一 JH43出生年填写有误！",
     0,
     1930,
     2000},
    {Test::RegionCode, {"JB22"}, " 表一 JH22行政区划代码填写有误！", 6},
    {Test::LengthIsNot, {"JB24"}, " 表一 JH24邮政编码填写有误！", 6},
    {Test::AnyYearOutside, {"JB63_1", "JB63_2"}, " 表一 JH63项目起至年限填写有误！", 0, 2005, 2020},
    {Test::EndBeforeStart, {"JB63_2", "JB63_1"}, " 表一 JH63项目起至年限填写有误！"},
    {Test::AnyShorter, {"JB25"}, " 表一 JH25单位性质代码选择有误！", 3},
    {Test::AnyShorter, {"JB26"}, " 表一 JH26主管单位代码选择有误！", 3},
    {Test::AnyShorter, {"JB27"}, " 表一 JH27项目活动类型代码选择有误！", 3},
    {Test::AnyShorter, {"JB61"}, " 表一 JH61项目计划类别代码选择有误！", 3},
    {Test::AnyShorter, {"JB71"}, " 表一 JH71项目进展情况代码选择有误！", 3},
    // Progress "3.拖延", "4.停顿" or "5.申请撤销" needs its first reason.
    {Test::ShorterWhenAbove, {"JB71", "JB72_01"}, " 表一 JH71项目拖延或取消原因未填！", 3, 0, 2},
    {Test::AnyShorter, {"JB62"}, " 表一 JH62项目技术领域代码选择有误！", 3},
    {Test::AnyShorter, {"JB64"}, " 表一 技术来源JH64代码选择有误！", 3},
    {Test::AnyShorter, {"JB65"}, " 表一 预期主要的成果形式JH65代码选择有误！", 3},
    {Test::AnyShorter, {"JB81"}, " 表一 JH81项目是否鉴定填写有误！", 2},
    // Appraised ("1.是") or not answered: time and level of the appraisal.
    {Test::ShorterWhenBelow, {"JB81", "JB82"}, " 表一 JH82项目鉴定时间未填！", 3, 2},
    {Test::ShorterWhenBelow, {"JB81", "JB83"}, " 表一 JH82项目鉴定技术水平未填！", 3, 2},
    {Test::AnyShorter, {"JB01"}, " 封面 JH01项目名称填写有误！", 3},
    {Test::AnyShorter, {"JB02"}, " 封面 JH02项目编号填写有误！", 7},
}};

using Compiled = CompiledRule<Rule>;

bool HasRegionPrefix(std::string_view code) {
    // The prefix is ASCII, so comparing bytes compares the first characters.
    return code.substr(0, store::kProvinceCode.size()) == store::kProvinceCode;
}

bool Fails(const Compiled& c, const store::Record& record) {
    const Rule& r = *c.rule;
    auto length = [&](int i) { return base::CharacterCount(record[c.columns[i]]); };
    auto value = [&](int i) { return base::NumericValue(record[c.columns[i]]); };
    const int n = static_cast<int>(c.columns.size());
    switch (r.test) {
        case Test::AnyShorter:
            for (int i = 0; i < n; ++i)
                if (length(i) < r.length) return true;
            return false;
        case Test::AnyYearOutside:
            for (int i = 0; i < n; ++i) {
                const double year = value(i);
                if (year < r.low || year > r.high) return true;
            }
            return false;
        case Test::RegionCode:
            return !HasRegionPrefix(record[c.columns[0]]) || length(0) != r.length;
        case Test::LengthIsNot: return length(0) != r.length;
        case Test::EndBeforeStart: return value(0) < value(1);
        case Test::ShorterWhenAbove: return value(0) > r.high && length(1) < r.length;
        case Test::ShorterWhenBelow: return value(0) < r.low && length(1) < r.length;
    }
    return false;
}

// The field of a rule the clerk has to mend: the first that fails, or,
// where a condition field makes another one required, the required one.
int FailingColumn(const Compiled& c, const store::Record& record) {
    const Rule& r = *c.rule;
    switch (r.test) {
        case Test::AnyShorter:
            for (int column : c.columns)
                if (base::CharacterCount(record[column]) < r.length) return column;
            break;
        case Test::AnyYearOutside:
            for (int column : c.columns) {
                const double year = base::NumericValue(record[column]);
                if (year < r.low || year > r.high) return column;
            }
            break;
        // The start year stands first on the page; the reason, the date and
        // the level are what the condition asks for.
        case Test::EndBeforeStart:
        case Test::ShorterWhenAbove:
        case Test::ShorterWhenBelow: return c.columns[1];
        default: break;
    }
    return c.columns.front();
}

const std::vector<Compiled>& CompiledTableOne() {
    static const std::vector<Compiled> rules =
        CompileRules(std::span<const Rule>(kRules), &Rule::fields);
    return rules;
}

}  // namespace

void AddTableOneFields(std::vector<RuleFields>& out) {
    for (const Compiled& c : CompiledTableOne()) out.push_back({c.rule->message, c.columns});
}

std::optional<int> TableOneFocus(std::string_view message, const store::Record& record) {
    std::optional<int> first;
    for (const Compiled& c : CompiledTableOne()) {
        if (c.rule->message != message) continue;
        if (Fails(c, record)) return FailingColumn(c, record);
        if (!first) first = FailingColumn(c, record);
    }
    return first;
}

void CheckTableOne(const store::Record& record, CheckResult& result) {
    RunRules(CompiledTableOne(), record, result, Fails);
}

}  // namespace zorbix::check
