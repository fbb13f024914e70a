// The board of the office's long runs: one run of a kind at a time, the
// second refused with 409 in Chinese; a run leaves the board however it
// ends; the fraction reported stays between 0 and 1.
#include "server/run_board.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "server/api_error.h"
#include "server/run_prompter.h"

namespace zorbix::server {
namespace {

TEST(RunBoard, ASecondRunOfTheSameKindIsRefusedWithConflict) {
    RunBoard board;
    const RunTicket first = board.Start("exchange");
    try {
        const RunTicket second = board.Start("exchange");
        FAIL() << "a second append started";
    } catch (const ApiError& refused) {
        EXPECT_EQ(refused.status(), 409);
        EXPECT_NE(std::string(refused.what()).find("导入交换文件"), std::string::npos)
            << refused.what();
    }
    EXPECT_EQ(board.RunsJson()["runs"].size(), 1u) << "the first run stays on the board";
}

TEST(RunBoard, RunsOfOtherKindsRunSideBySide) {
    RunBoard board;
    const RunTicket append = board.Start("exchange");
    const RunTicket check = board.Start("check");
    const Json runs = board.RunsJson()["runs"];
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0]["kind"], "check");
    EXPECT_EQ(runs[1]["kind"], "exchange");
}

TEST(RunBoard, ARunThatFailedLeavesTheBoard) {
    RunBoard board;
    try {
        const RunTicket ticket = board.Start("summaries");
        throw std::runtime_error("the run failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(board.RunsJson()["runs"].empty());
    EXPECT_NO_THROW({ const RunTicket again = board.Start("summaries"); });
}

TEST(RunBoard, FractionsStayBetweenNoneAndAll) {
    RunBoard board;
    RunTicket ticket = board.Start("check");
    ticket.SetFraction(0.25);
    EXPECT_DOUBLE_EQ(board.RunsJson()["runs"][0]["fraction"].get<double>(), 0.25);
    ticket.SetFraction(3.0);  // a count that grew while the run went on
    EXPECT_DOUBLE_EQ(board.RunsJson()["runs"][0]["fraction"].get<double>(), 1.0);
    ticket.SetFraction(-1.0);
    EXPECT_DOUBLE_EQ(board.RunsJson()["runs"][0]["fraction"].get<double>(), 0.0);
}

// The operations' progress reaches the board; their questions are
// answered yes without becoming part of the answer's message.
TEST(RunPrompter, ProgressReachesTheBoardAndOnlyNoticesTheMessage) {
    RunBoard board;
    RunTicket ticket = board.Start("restore");
    RunPrompter prompter(ticket);
    prompter.Progress(1, 4);
    EXPECT_DOUBLE_EQ(board.RunsJson()["runs"][0]["fraction"].get<double>(), 0.25);
    prompter.Progress(3, 0);  // no total known: nothing to say
    EXPECT_DOUBLE_EQ(board.RunsJson()["runs"][0]["fraction"].get<double>(), 0.25);
    EXPECT_TRUE(base::Confirm(prompter, "恢复备份", "确实要恢复吗？"));
    base::Inform(prompter, "恢复备份", "已从备份“/tmp/x/a.db”恢复数据。");
    EXPECT_EQ(prompter.Text("/tmp/x/"), "已从备份“a.db”恢复数据。");
}

}  // namespace
}  // namespace zorbix::server
