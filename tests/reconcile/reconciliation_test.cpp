// The comparison itself: every kind of line, the amount boundary, and both
// lists walked in value order to their ends.
#include "reconcile/reconciliation.h"

#include <gtest/gtest.h>

namespace zorbix::reconcile {
namespace {

const std::string kHeader =
    "项目上报情况核对结果\r\n项目总数：{n}，上报项目数：{m}\r\n以下是漏报或错报项目\r\n"
    "===========================================\r\n";

std::string Header(std::size_t n, std::size_t m) {
    std::string h = kHeader;
    h.replace(h.find("{n}"), 3, std::to_string(n));
    h.replace(h.find("{m}"), 3, std::to_string(m));
    return h;
}

PlannedProject Planned(const std::string& number, double amount = 10) {
    PlannedProject p;
    p.number = std::stod(number);
    p.number_text = number;
    p.details = {"名" + number, "单位" + number, "主管" + number};
    p.amount = amount;
    return p;
}

ReportedProject Reported(const std::string& number, const std::string& jf1102 = "100") {
    return {number, "项目" + number, "承担" + number, "部门" + number, jf1102};
}

TEST(Reconciliation, AgreeingListsGiveTheFourHeaderLinesOnly) {
    const auto text = ReconciliationText({Planned("201300000001"), Planned("201300000002")},
                                         {Reported("201300000001"), Reported("201300000002")});
    EXPECT_EQ(text, Header(2, 2));
}

TEST(Reconciliation, EachKindOfLineWithRunningNumbers) {
    const auto text = ReconciliationText(
        {Planned("201300000001"), Planned("201300000002", 12.5), Planned("201300000004")},
        {Reported("201300000001"), Reported("201300000002"), Reported("201300000003")});
    EXPECT_EQ(text, Header(3, 3) +
                        "1 金额错误201300000002 项目201300000002 承担201300000002\r\n"
                        "2 错报 201300000003 项目201300000003 承担201300000003 部门201300000003\r\n"
                        "3 漏报 201300000004 名201300000004 单位201300000004 主管201300000004\r\n");
}

TEST(Reconciliation, MissingProjectBetweenTwoStoredOnesKeepsTheStoredRecord) {
    const auto text = ReconciliationText(
        {Planned("201300000001"), Planned("201300000002"), Planned("201300000003")},
        {Reported("201300000001"), Reported("201300000003")});
    EXPECT_EQ(text, Header(3, 2) +
                        "1 漏报 201300000002 名201300000002 单位201300000002 主管201300000002\r\n");
}

TEST(Reconciliation, MoreStoredThanPlannedListsEveryLeftOverRecord) {
    const auto text = ReconciliationText({Planned("201300000002")},
                                         {Reported("201300000001"), Reported("201300000002"),
                                          Reported("201300000003"), Reported("201300000004")});
    EXPECT_EQ(text,
              Header(1, 4) +
                  "1 错报 201300000001 项目201300000001 承担201300000001 部门201300000001\r\n"
                  "2 错报 201300000003 项目201300000003 承担201300000003 部门201300000003\r\n"
                  "3 错报 201300000004 项目201300000004 承担201300000004 部门201300000004\r\n");
}

TEST(Reconciliation, MorePlannedThanStoredListsEveryLeftOverRow) {
    const auto text = ReconciliationText(
        {Planned("201300000001"), Planned("201300000002"), Planned("201300000003")},
        {Reported("201300000001")});
    EXPECT_EQ(text, Header(3, 1) +
                        "1 漏报 201300000002 名201300000002 单位201300000002 主管201300000002\r\n"
                        "2 漏报 201300000003 名201300000003 单位201300000003 主管201300000003\r\n");
}

TEST(Reconciliation, AnEmptyStoreMissesEveryPlannedProject) {
    const auto text = ReconciliationText({Planned("201300000001")}, {});
    EXPECT_EQ(text, Header(1, 0) +
                        "1 漏报 201300000001 名201300000001 单位201300000001 主管201300000001\r\n");
}

TEST(Reconciliation, PlanRowsOutOfOrderAreTakenInValueOrder) {
    const auto text = ReconciliationText({Planned("201300000005"), Planned("201300000001"),
                                          Planned("201300000004"), Planned("201300000002")},
                                         {Reported("201300000001"), Reported("201300000002"),
                                          Reported("201300000003"), Reported("201300000005")});
    EXPECT_EQ(text, Header(4, 4) +
                        "1 错报 201300000003 项目201300000003 承担201300000003 部门201300000003\r\n"
                        "2 漏报 201300000004 名201300000004 单位201300000004 主管201300000004\r\n");
}

TEST(Reconciliation, StoredNumbersOfDifferentLengthCompareByValue) {
    // Store order is text order: "100" before "99", and a leading zero.
    const auto text =
        ReconciliationText({Planned("99"), Planned("100"), Planned("201300000001")},
                           {Reported("0201300000001"), Reported("100"), Reported("99")});
    EXPECT_EQ(text, Header(3, 3));
}

TEST(Reconciliation, AmountsDifferOnlyBeyondOneHundredYuan) {
    struct Case {
        double planned;
        const char* jf1102;
        bool differs;
    };
    const Case cases[] = {
        {123.4, "1234", false},
        {123.5, "1234", true},
        {123.41, "1234", false},
        {123.39, "1234", false},
        {123.42, "1234", true},
        {123.38, "1234", true},
        {0, "", false},
        {0, "0.1", false},
        {0, "0.2万", true},
        {1, "", true},
        {1234567.8, "12345678", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AmountDiffers(c.planned, c.jf1102), c.differs) << c.planned << " " << c.jf1102;
}

}  // namespace
}  // namespace zorbix::reconcile
