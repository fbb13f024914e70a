// The balance and threshold rules of tables two, three and four at their
// boundaries. Each case starts from an empty record, which passes them all.
#include <gtest/gtest.h>

#include "check/rule_sets.h"
#include "tests/check/rule_case.h"

namespace zorbix::check {
namespace {

constexpr const char* kTooLarge =
    " 表二资金合计数（JF100、JF200） > 1000000千元（十亿元！！），请核对！";
constexpr const char* kSourcesTotal =
    " 表二 JF100 = JF170+JF110+JF120+JF130+JF140+JF150+JF160，累计数有误！";
constexpr const char* kSourcesYear =
    " 表二 JF100 = JF170+JF110+JF120+JF130+JF140+JF150+JF160，当年数有误！";
constexpr const char* kBalanceTotal = " 表二 JF400 = JF100-JF200，累计数有误！";
constexpr const char* kBalanceYear = " 表二 JF400 = JF100-JF200，当年数有误！";
constexpr const char* kUsesTotal = " 表二 JF300 = JF311+JF312+JF313+JF314，累计数有误！";
constexpr const char* kUsesYear = " 表二 JF300 = JF311+JF312+JF313+JF314，当年数有误！";

constexpr const char* kPeople = " 表三 JL100 = JL110+JL430+JL440，有误！";
constexpr const char* kTitles = " 表三 JL100 >= JL120+JL130，有误！";
constexpr const char* kDegrees = " 表三 JL100 >= JL140+JL150，有误！";
constexpr const char* kYoung = " 表三 JL100 >= JL160+JL170+JL180，有误！";
constexpr const char* kStudents = " 表三 JL400 >= JL410+JL420，有误！";

constexpr const char* kApplied = " 表四 JG901 = JG911+JG912+JG913，有误！";
constexpr const char* kGranted = " 表四 JG902 = JG914+JG915+JG916，有误！";
constexpr const char* kPapers = " 表四 JG702 >= JG710，有误！";
constexpr const char* kDomestic = " 表四 JG710 >= JG711，有误！";
constexpr const char* kForeign = " 表四 JG702 >= JG720，有误！";
constexpr const char* kOutput = " 表四 新增产值 > 1500000千元（15亿元！！），请核对！";

store::Row Empty() {
    store::Row row(store::kColumnCount);
    row[store::ColumnIndex("JB02")] = "201300000007";
    return row;
}

TEST(TableTwoRules, Thresholds) {
    ExpectCases(
        Empty(),
        {
            {"empty passes", {}, {}},
            {"exactly a million passes",
             {{"JF1001", "1000000"}, {"JF1701", "1000000"}, {"JF2001", "1000000"}},
             {}},
            {"just above",
             {{"JF1001", "1000000.01"}, {"JF1701", "1000000.01"}, {"JF4001", "1000000.01"}},
             {kTooLarge}},
            {"four too large: one line",
             {{"JF1001", "2000000"},
              {"JF1002", "2000000"},
              {"JF2001", "2000000"},
              {"JF2002", "2000000"},
              {"JF1701", "2000000"},
              {"JF1702", "2000000"}},
             {kTooLarge}},
            {"this year's spending", {{"JF2002", "1000001"}, {"JF4002", "-1000001"}}, {kTooLarge}},
        },
        CheckTableTwo);
}

TEST(TableTwoRules, SourcesBalanceWithinATenth) {
    ExpectCases(
        Empty(),
        {
            {"all sources in order",
             {{"JF1001", "28"},
              {"JF1701", "1"},
              {"JF1101", "2"},
              {"JF1201", "3"},
              {"JF1301", "4"},
              {"JF1401", "5"},
              {"JF1501", "6"},
              {"JF1601", "7"},
              {"JF4001", "28"}},
             {}},
            {"a tenth over passes",
             {{"JF1001", "100.1"}, {"JF1101", "100"}, {"JF4001", "100.1"}},
             {}},
            {"a tenth under passes",
             {{"JF1001", "100"}, {"JF1101", "100.1"}, {"JF4001", "100"}},
             {}},
            {"0.11 over fails",
             {{"JF1001", "100.11"}, {"JF1101", "100"}, {"JF4001", "100.11"}},
             {kSourcesTotal}},
            {"a missing source", {{"JF1001", "10"}, {"JF4001", "10"}}, {kSourcesTotal}},
            {"this year", {{"JF1002", "5"}, {"JF1602", "4"}, {"JF4002", "5"}}, {kSourcesYear}},
            {"text reads as its leading number",
             {{"JF1002", "5千元"}, {"JF1502", "5"}, {"JF4002", "5"}},
             {}},
        },
        CheckTableTwo);
}

TEST(TableTwoRules, RemainderIsExact) {
    ExpectCases(Empty(),
                {
                    {"balanced",
                     {{"JF1001", "10"}, {"JF1701", "10"}, {"JF2001", "4"}, {"JF4001", "6"}},
                     {}},
                    {"a hundredth over",
                     {{"JF1001", "10"}, {"JF1701", "10"}, {"JF2001", "4"}, {"JF4001", "6.01"}},
                     {kBalanceTotal}},
                    {"a hundredth under",
                     {{"JF1001", "10"}, {"JF1701", "10"}, {"JF2001", "4"}, {"JF4001", "5.99"}},
                     {kBalanceTotal}},
                    {"this year", {{"JF2002", "3"}}, {kBalanceYear}},
                    {"negative remainder balances", {{"JF2002", "3"}, {"JF4002", "-3"}}, {}},
                },
                CheckTableTwo);
}

TEST(TableTwoRules, ProvincialFundsUses) {
    ExpectCases(
        Empty(),
        {
            {"uses add up",
             {{"JF3001", "10"}, {"JF3111", "1"}, {"JF3121", "2"}, {"JF3131", "3"}, {"JF3141", "4"}},
             {}},
            {"a tenth off passes", {{"JF3001", "10"}, {"JF3111", "9.9"}}, {}},
            {"exactly a tenth passes", {{"JF3001", "0.1"}, {"JF3002", "-0.1"}}, {}},
            {"0.11 off fails", {{"JF3001", "10"}, {"JF3111", "9.89"}}, {kUsesTotal}},
            {"this year", {{"JF3142", "1"}}, {kUsesYear}},
            {"every balance at once, in rule order",
             {{"JF1001", "3000000"}, {"JF1002", "1"}, {"JF3001", "1"}, {"JF3002", "1"}},
             {kTooLarge, kSourcesTotal, kSourcesYear, kBalanceTotal, kBalanceYear, kUsesTotal,
              kUsesYear}},
        },
        CheckTableTwo);
}

TEST(TableThreeRules, PeopleCounts) {
    ExpectCases(
        Empty(),
        {
            {"empty passes", {}, {}},
            {"total of the groups",
             {{"JL100", "9"}, {"JL110", "5"}, {"JL430", "3"}, {"JL440", "1"}},
             {}},
            {"a tenth off passes", {{"JL100", "5"}, {"JL110", "4.9"}}, {}},
            {"exactly a tenth passes", {{"JL100", "0.1"}}, {}},
            {"two tenths off", {{"JL100", "5"}, {"JL110", "4.8"}}, {kPeople}},
            {"titles fill the total",
             {{"JL100", "5"}, {"JL110", "5"}, {"JL120", "3"}, {"JL130", "2"}},
             {}},
            {"titles exceed it",
             {{"JL100", "5"}, {"JL110", "5"}, {"JL120", "3"}, {"JL130", "3"}},
             {kTitles}},
            {"degrees exceed it", {{"JL100", "5"}, {"JL110", "5"}, {"JL140", "6"}}, {kDegrees}},
            {"young people equal the total", {{"JL100", "5"}, {"JL110", "5"}, {"JL160", "5"}}, {}},
            {"young people exceed it", {{"JL100", "5"}, {"JL110", "5"}, {"JL160", "6"}}, {kYoung}},
            {"students fill", {{"JL400", "3"}, {"JL410", "1"}, {"JL420", "2"}}, {}},
            {"students exceed", {{"JL400", "3"}, {"JL410", "1"}, {"JL420", "3"}}, {kStudents}},
            {"all in rule order",
             {{"JL110", "1"}, {"JL130", "1"}, {"JL150", "1"}, {"JL160", "1"}, {"JL410", "1"}},
             {kPeople, kTitles, kDegrees, kYoung, kStudents}},
        },
        CheckTableThree);
}

// The "at least" rules allow no tolerance: the smallest shortfall fails,
// while the balance rules beside them pass a tenth.
TEST(AtLeastRules, AShortfallOfFiveHundredthsFails) {
    const std::vector<RuleCase> table_three = {
        {"titles fill it exactly", {{"JL100", "5"}, {"JL110", "5"}, {"JL120", "5"}}, {}},
        {"titles a twentieth over", {{"JL100", "5"}, {"JL110", "5"}, {"JL120", "5.05"}}, {kTitles}},
        {"degrees a twentieth over",
         {{"JL100", "5"}, {"JL110", "5"}, {"JL140", "2.55"}, {"JL150", "2.5"}},
         {kDegrees}},
        {"young a twentieth over", {{"JL100", "5"}, {"JL110", "5"}, {"JL160", "5.05"}}, {kYoung}},
        {"students a twentieth over", {{"JL400", "1"}, {"JL420", "1.05"}}, {kStudents}},
    };
    ExpectCases(Empty(), table_three, CheckTableThree);
    const std::vector<RuleCase> table_four = {
        {"domestic fill it exactly", {{"JG702", "2"}, {"JG710", "2"}}, {}},
        {"domestic a twentieth over", {{"JG702", "2"}, {"JG710", "2.05"}}, {kPapers}},
        {"indexed a twentieth over",
         {{"JG702", "3"}, {"JG710", "2"}, {"JG711", "2.05"}},
         {kDomestic}},
        {"foreign a twentieth over", {{"JG702", "2"}, {"JG720", "2.05"}}, {kForeign}},
    };
    ExpectCases(Empty(), table_four, CheckTableFour);
}

TEST(TableFourRules, PatentsPapersAndOutput) {
    ExpectCases(
        Empty(),
        {
            {"empty passes", {}, {}},
            {"applications add up",
             {{"JG901", "3"}, {"JG911", "1"}, {"JG912", "1"}, {"JG913", "1"}},
             {}},
            {"a tenth off passes", {{"JG901", "10"}, {"JG913", "9.9"}}, {}},
            {"exactly a tenth passes", {{"JG902", "0.1"}}, {}},
            {"applications off", {{"JG901", "3"}, {"JG911", "1"}, {"JG912", "1"}}, {kApplied}},
            {"grants off", {{"JG902", "1"}, {"JG916", "2"}}, {kGranted}},
            {"papers", {{"JG702", "2"}, {"JG710", "2"}, {"JG711", "2"}, {"JG720", "2"}}, {}},
            {"domestic exceed all", {{"JG702", "2"}, {"JG710", "3"}}, {kPapers}},
            {"indexed exceed domestic",
             {{"JG702", "3"}, {"JG710", "2"}, {"JG711", "3"}},
             {kDomestic}},
            {"foreign exceed all", {{"JG702", "2"}, {"JG720", "3"}}, {kForeign}},
            {"output at the limit passes", {{"JG131", "1500000"}}, {}},
            {"output above", {{"JG131", "1500000.5"}}, {kOutput}},
            {"all in rule order",
             {{"JG911", "1"},
              {"JG914", "1"},
              {"JG710", "1"},
              {"JG711", "2"},
              {"JG720", "1"},
              {"JG131", "9000000"}},
             {kApplied, kGranted, kPapers, kDomestic, kForeign, kOutput}},
        },
        CheckTableFour);
}

}  // namespace
}  // namespace zorbix::check
