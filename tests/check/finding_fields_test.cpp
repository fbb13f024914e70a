// Finding lines lead back to their project and field: every line the rule
// sets write parses to its own number and message, and the focus is the
// field the clerk has to mend.
#include "check/finding_fields.h"

#include <gtest/gtest.h>

#include "check/check_result.h"
#include "check/rule_sets.h"

namespace zorbix::check {
namespace {

using store::ColumnIndex;

store::Record RecordWith(std::vector<std::pair<const char*, const char*>> values) {
    store::Row row(store::kColumnCount);
    for (const auto& [column, value] : values) row[ColumnIndex(column)] = value;
    return store::Record(row);
}

TEST(FindingLines, EveryMessageOfEveryRuleParsesBackToItsNumberAndMessage) {
    for (const char* number : {"201300000007", "", "项目 7", "12 表一"}) {
        for (const RuleFields& rule : AllRuleFields()) {
            CheckResult result;
            result.Add(number, rule.message);
            const auto finding = ParseFindingLine(result.text);
            ASSERT_TRUE(finding) << result.text;
            EXPECT_EQ(finding->number, number);
            EXPECT_EQ(finding->message, rule.message);
        }
    }
}

TEST(FindingLines, OtherLinesAreNoFindings) {
    for (const char* line : {" 审核结果", "项目201300000007 审核结果", "", "项目",
                             "项目上报情况核对结果", "201300000007 表一 JH24邮政编码填写有误！",
                             "项目201300000007 表一 JH24邮政编码填写有误！ 多"})
        EXPECT_FALSE(ParseFindingLine(line)) << line;
}

TEST(FindingFocus, IsTheFieldToMend) {
    struct Case {
        const char* message;
        std::vector<std::pair<const char*, const char*>> values;
        const char* focus;
    };
    const std::vector<Case> cases = {
        {" 表一 JH41项目参加人员漏填！", {{"JB411", "张三"}, {"JB412", "李四"}}, "JB413"},
        {" 表一 JH41项目参加人员漏填！", {{"JB411", "张三"}}, "JB412"},
        {" 表一 JH43出生年填写有误！", {{"JB431", "1960"}, {"JB432", "2001"}}, "JB432"},
        {" 表一 JH63项目起至年限填写有误！", {{"JB63_1", "2013"}, {"JB63_2", "2012"}}, "JB63_1"},
        {" 表一 JH63项目起至年限填写有误！", {{"JB63_1", "2013"}, {"JB63_2", "2030"}}, "JB63_2"},
        {" 表一 JH71项目拖延或取消原因未填！", {{"JB71", "3.拖延"}}, "JB72_01"},
        {" 表一 JH82项目鉴定时间未填！", {}, "JB82"},
        {" 封面 JH02项目编号填写有误！", {}, "JB02"},
        {" 表二资金合计数（JF100、JF200） > 1000000千元（十亿元！！），请核对！",
         {{"JF1001", "5"}, {"JF2001", "2000000"}},
         "JF2001"},
        {" 表二 JF400 = JF100-JF200，当年数有误！", {{"JF2002", "3"}}, "JF1002"},
        {" 表三 JL100 >= JL160+JL170+JL180，有误！", {{"JL160", "3"}}, "JL100"},
        // A rule that passes by now still leads to its first field.
        {" 表一 JH41项目参加人员漏填！",
         {{"JB411", "张三"}, {"JB412", "李四"}, {"JB413", "王五"}},
         "JB411"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FocusColumn(c.message, RecordWith(c.values)), ColumnIndex(c.focus))
            << c.message << " → " << c.focus;
    EXPECT_EQ(FocusColumn("不是审核结果", RecordWith({})), -1);
}

TEST(FindingFocus, ColumnsOfASharedMessageJoinBothRules) {
    const std::vector<int> columns = FindingColumns(" 表一 JH63项目起至年限填写有误！");
    EXPECT_EQ(columns, (std::vector<int>{ColumnIndex("JB63_1"), ColumnIndex("JB63_2")}));
    EXPECT_TRUE(FindingColumns("未知").empty());
}

TEST(FirstFailingColumn, IsOnThePageBeingLeft) {
    // Table one with the cover: the participants fail first.
    EXPECT_EQ(FirstFailingColumn(store::Page::TableOne, RecordWith({})), ColumnIndex("JB411"));
    EXPECT_EQ(FirstFailingColumn(store::Page::TableTwo, RecordWith({{"JF1101", "4"}})),
              ColumnIndex("JF1001"));
    EXPECT_EQ(FirstFailingColumn(store::Page::TableThree, RecordWith({})), std::nullopt);
    EXPECT_EQ(FirstFailingColumn(store::Page::Cover, RecordWith({})), std::nullopt);
}

}  // namespace
}  // namespace zorbix::check
