// The rules of the cover and table one at their boundaries: just inside
// passes, just outside gives the exact line, several failing fields of one
// rule give one line, and lengths count characters, not bytes.
#include <gtest/gtest.h>

#include "check/rule_sets.h"
#include "store/demo_projects.h"
#include "tests/check/rule_case.h"

namespace zorbix::check {
namespace {

constexpr const char* kNames = " 表一 JH41项目参加人员漏填！";
constexpr const char* kBirth = " 表一 JH43出生年填写有误！";
constexpr const char* kRegion = " 表一 JH22行政区划代码填写有误！";
constexpr const char* kPostal = " 表一 JH24邮政编码填写有误！";
constexpr const char* kYears = " 表一 JH63项目起至年限填写有误！";
constexpr const char* kUnitKind = " 表一 JH25单位性质代码选择有误！";
constexpr const char* kDepartment = " 表一 JH26主管单位代码选择有误！";
constexpr const char* kActivity = " 表一 JH27项目活动类型代码选择有误！";
constexpr const char* kPlan = " 表一 JH61项目计划类别代码选择有误！";
constexpr const char* kProgress = " 表一 JH71项目进展情况代码选择有误！";
constexpr const char* kReason = " 表一 JH71项目拖延或取消原因未填！";
constexpr const char* kField = " 表一 JH62项目技术领域代码选择有误！";
constexpr const char* kSource = " 表一 技术来源JH64代码选择有误！";
constexpr const char* kOutcome = " 表一 预期主要的成果形式JH65代码选择有误！";
constexpr const char* kAppraised = " 表一 JH81项目是否鉴定填写有误！";
constexpr const char* kAppraisalTime = " 表一 JH82项目鉴定时间未填！";
constexpr const char* kAppraisalLevel = " 表一 JH82项目鉴定技术水平未填！";
constexpr const char* kName = " 封面 JH01项目名称填写有误！";
constexpr const char* kNumber = " 封面 JH02项目编号填写有误！";

// A correct project with fixed progress, appraisal and years, so each case
// states only what it changes.
store::Row Base() {
    store::Row row = store::MakeDemoProject("201300000001", 11);
    auto set = [&](const char* c, const char* v) { row[store::ColumnIndex(c)] = v; };
    set("JB63_1", "2013");
    set("JB63_2", "2014");
    set("JB71", "1.按计划进度进行");
    set("JB72_01", "");
    set("JB81", "2.否");
    set("JB82", "");
    set("JB83", "");
    return row;
}

TEST(TableOneRules, TheBaseProjectPasses) {
    CheckResult result;
    CheckAllTables(store::Record(Base()), result);
    EXPECT_EQ(result.text, "");
    EXPECT_FALSE(result.failed);
}

TEST(TableOneRules, ParticipantsAndBirthYears) {
    ExpectCases(
        Base(),
        {
            {"two-character names pass", {{"JB411", "王五"}, {"JB412", "ab"}}, {}},
            {"one character fails", {{"JB411", "王"}}, {kNames}},
            {"third name empty", {{"JB413", ""}}, {kNames}},
            {"all three short: one line",
             {{"JB411", ""}, {"JB412", "李"}, {"JB413", "x"}},
             {kNames}},
            {"1930 and 2000 pass", {{"JB431", "1930"}, {"JB432", "2000"}, {"JB433", "1930"}}, {}},
            {"1929 fails", {{"JB432", "1929"}}, {kBirth}},
            {"2001 fails", {{"JB433", "2001"}}, {kBirth}},
            {"empty year fails", {{"JB431", ""}}, {kBirth}},
            {"three bad years: one line",
             {{"JB431", "1929"}, {"JB432", "2001"}, {"JB433", ""}},
             {kBirth}},
            {"leading number of a text", {{"JB431", "1985年"}}, {}},
        },
        CheckTableOne);
}

TEST(TableOneRules, RegionAndPostalCode) {
    ExpectCases(Base(),
                {
                    {"a province region passes", {{"JB22", "960881"}}, {}},
                    {"five digits with the prefix", {{"JB22", "96010"}}, {kRegion}},
                    {"seven digits with the prefix", {{"JB22", "9601000"}}, {kRegion}},
                    {"another province", {{"JB22", "970100"}}, {kRegion}},
                    {"empty region", {{"JB22", ""}}, {kRegion}},
                    {"six-digit postal code", {{"JB24", "123456"}}, {}},
                    {"six characters count, not bytes", {{"JB24", "一二三四五六"}}, {}},
                    {"five digits", {{"JB24", "12345"}}, {kPostal}},
                    {"seven digits", {{"JB24", "1234567"}}, {kPostal}},
                },
                CheckTableOne);
}

TEST(TableOneRules, StartAndEndYears) {
    ExpectCases(Base(),
                {
                    {"2005 to 2020 pass", {{"JB63_1", "2005"}, {"JB63_2", "2020"}}, {}},
                    {"equal years pass", {{"JB63_1", "2013"}, {"JB63_2", "2013"}}, {}},
                    {"start 2004", {{"JB63_1", "2004"}}, {kYears}},
                    {"end 2021", {{"JB63_2", "2021"}}, {kYears}},
                    {"both outside: one line", {{"JB63_1", "2004"}, {"JB63_2", "2021"}}, {kYears}},
                    {"end before start only", {{"JB63_1", "2013"}, {"JB63_2", "2012"}}, {kYears}},
                    {"outside and reversed: two lines",
                     {{"JB63_1", "2021"}, {"JB63_2", "2019"}},
                     {kYears, kYears}},
                    {"empty end: outside and before start", {{"JB63_2", ""}}, {kYears, kYears}},
                },
                CheckTableOne);
}

TEST(TableOneRules, CodeFieldsNeedThreeCharacters) {
    ExpectCases(Base(),
                {
                    {"three Chinese characters pass", {{"JB25", "国有企"}, {"JB26", "1.国"}}, {}},
                    {"unit kind", {{"JB25", "1."}}, {kUnitKind}},
                    {"department", {{"JB26", "01"}}, {kDepartment}},
                    {"activity", {{"JB27", "国有"}}, {kActivity}},
                    {"plan category", {{"JB61", ""}}, {kPlan}},
                    {"technology field", {{"JB62", "1."}}, {kField}},
                    {"source", {{"JB64", "1."}}, {kSource}},
                    {"outcome", {{"JB65", "1."}}, {kOutcome}},
                    {"several in rule order",
                     {{"JB65", ""}, {"JB25", ""}, {"JB62", ""}, {"JB27", ""}},
                     {kUnitKind, kActivity, kField, kOutcome}},
                },
                CheckTableOne);
}

TEST(TableOneRules, ProgressNeedsAReasonWhenLateOrStopped) {
    ExpectCases(Base(),
                {
                    {"ahead of plan needs none", {{"JB71", "2.进度超前"}}, {}},
                    {"late without reason", {{"JB71", "3.拖延"}}, {kReason}},
                    {"withdrawn without reason", {{"JB71", "5.申请撤销"}}, {kReason}},
                    {"late with a reason", {{"JB71", "3.拖延"}, {"JB72_01", "1.资金"}}, {}},
                    {"late with a two-character reason",
                     {{"JB71", "4.停顿"}, {"JB72_01", "1."}},
                     {kReason}},
                    {"short progress code", {{"JB71", "2."}}, {kProgress}},
                    {"short late code: both lines", {{"JB71", "3."}}, {kProgress, kReason}},
                    {"empty progress", {{"JB71", ""}}, {kProgress}},
                },
                CheckTableOne);
}

TEST(TableOneRules, AppraisalNeedsTimeAndLevel) {
    ExpectCases(
        Base(),
        {
            {"not appraised frees both", {{"JB81", "2.否"}}, {}},
            {"appraised with both",
             {{"JB81", "1.是"}, {"JB82", "2012-05"}, {"JB83", "1.国际领先"}},
             {}},
            {"appraised without time",
             {{"JB81", "1.是"}, {"JB83", "1.国际领先"}},
             {kAppraisalTime}},
            {"appraised without level", {{"JB81", "1.是"}, {"JB82", "2012-05"}}, {kAppraisalLevel}},
            {"empty: three lines", {{"JB81", ""}}, {kAppraised, kAppraisalTime, kAppraisalLevel}},
            {"one character code", {{"JB81", "2"}}, {kAppraised}},
            {"two-character time",
             {{"JB81", "1.是"}, {"JB82", "12"}, {"JB83", "abc"}},
             {kAppraisalTime}},
        },
        CheckTableOne);
}

TEST(TableOneRules, ProjectNameAndNumber) {
    ExpectCases(Base(),
                {
                    {"three-character name", {{"JB01", "新项目"}}, {}},
                    {"two-character name", {{"JB01", "项目"}}, {kName}},
                    {"seven-character number", {{"JB02", "1234567"}}, {}},
                    {"six-character number", {{"JB02", "123456"}}, {kNumber}},
                    {"empty number", {{"JB02", ""}}, {kNumber}},
                },
                CheckTableOne);
}

TEST(TableOneRules, AnEmptyRecordFailsAllButTheConditionalRules) {
    store::Row empty(store::kColumnCount);
    ExpectCases(empty,
                {
                    {"empty",
                     {},
                     {kNames, kBirth, kRegion, kPostal, kYears, kUnitKind, kDepartment, kActivity,
                      kPlan, kProgress, kField, kSource, kOutcome, kAppraised, kAppraisalTime,
                      kAppraisalLevel, kName, kNumber}},
                },
                CheckTableOne);
}

TEST(TableOneRules, FindingsAppendAndKeepTheFlag) {
    CheckResult result;
    result.text = "earlier\r\n";
    result.failed = true;
    CheckTableOne(store::Record(Base()), result);
    EXPECT_EQ(result.text, "earlier\r\n");
    EXPECT_TRUE(result.failed);
    result.Reset();
    EXPECT_EQ(result.text, "");
    EXPECT_FALSE(result.failed);
}

}  // namespace
}  // namespace zorbix::check
