#include "store/store_operations.h"

#include <gtest/gtest.h>

#include "base/numeric_value.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "store/titles.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::store {
namespace {

const int kNumber = ColumnIndex("JB02");
const std::string kNotFound = "未找到要定位的项目！请检查项目编号是否正确。";
const std::string kLocateFailed = "数据定位失败！请检查数据或重新启动系统后重试。";

class StoreOperationsTest : public ::testing::Test {
protected:
    void Add(std::initializer_list<const char*> numbers) {
        for (const char* n : numbers) {
            Row row(kColumnCount);
            row[kNumber] = n;
            records().AddNew(row);
        }
    }
    RecordSet& records() { return store_->records(); }
    std::string Current() { return std::string(records().Value(kNumber)); }

    testing::TempDir dir_;
    std::unique_ptr<Store> store_ = testing::OpenTestStore(dir_.path());
    testing::RecordingPrompter prompter_;
};

TEST_F(StoreOperationsTest, LocatesByNumericValue) {
    Add({"201300000001", "201300000002", "201300000003"});
    EXPECT_TRUE(LocateProject(records(), prompter_, "0201300000003 "));
    EXPECT_EQ(Current(), "201300000003");
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(StoreOperationsTest, LocateMissLeavesTheFirstRecordCurrent) {
    Add({"201300000001", "201300000002"});
    records().MoveLast();
    EXPECT_FALSE(LocateProject(records(), prompter_, "201399999999"));
    EXPECT_EQ(records().Position(), 1);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, kNotFound);
    EXPECT_EQ(prompter_.messages[0].title, kProgramTitle);
    EXPECT_EQ(prompter_.messages[0].icon, base::Icon::Information);
}

TEST_F(StoreOperationsTest, LocateInAnEmptyStoreFails) {
    EXPECT_FALSE(LocateProject(records(), prompter_, "1"));
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{kLocateFailed});
}

TEST_F(StoreOperationsTest, EmptyLocateTextFindsOnlyANumberBelowATenth) {
    Add({"201300000001", "", "abc"});
    records().Reopen();
    EXPECT_TRUE(LocateProject(records(), prompter_, ""));
    EXPECT_EQ(base::NumericValue(Current()), 0);
}

TEST_F(StoreOperationsTest, AddRefusesWrongLengthAndStoredNumbers) {
    Add({"201300000001", "1"});
    struct Case {
        const char* answer;
        base::Outcome outcome;
        const char* message;
    };
    const Case cases[] = {
        {"", base::Outcome::Cancelled, nullptr},
        {"20130000001", base::Outcome::Refused, "项目编号格式错误。"},
        {"2013000000011", base::Outcome::Refused, "项目编号格式错误。"},
        {"0201300000001", base::Outcome::Refused, "项目编号格式错误。"},
        {"20130000000\t", base::Outcome::Refused, "项目编号格式错误。"},
        {"20130000000\xf0\x9f\x98\x80", base::Outcome::Refused, "项目编号格式错误。"},
        {"201300000001", base::Outcome::Refused, "项目编号已存在，请核对。"},
        {"00000000001 ", base::Outcome::Refused, "项目编号已存在，请核对。"},
    };
    for (const Case& c : cases) {
        prompter_.messages.clear();
        prompter_.texts = {c.answer};
        EXPECT_EQ(AddProject(records(), prompter_), c.outcome) << c.answer;
        if (c.message)
            EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{c.message}) << c.answer;
        else
            EXPECT_TRUE(prompter_.messages.empty());
    }
    EXPECT_EQ(records().Count(), 2);
    EXPECT_EQ(prompter_.prompts.back(), "请输入新增项目编号");
}

TEST_F(StoreOperationsTest, AddLeavesTheDuplicateCurrent) {
    Add({"201300000001", "201300000002"});
    prompter_.texts = {"201300000002"};
    AddProject(records(), prompter_);
    EXPECT_EQ(Current(), "201300000002");
}

TEST_F(StoreOperationsTest, AddTakesTwelveCharactersOfAnyKindIntoAnEmptyStore) {
    prompter_.texts = {"项目编号十二个字符的号码"};
    EXPECT_EQ(AddProject(records(), prompter_), base::Outcome::Done);
    EXPECT_EQ(Current(), "项目编号十二个字符的号码");
    prompter_.texts = {"abcdefghijkl"};
    // Letters only: NumericValue 0 equals the Chinese number's 0.
    EXPECT_EQ(AddProject(records(), prompter_), base::Outcome::Refused);
}

// The duplicate test of add is exact: a number a twentieth away from a stored
// one is another project (locating, by contrast, takes anything within 0.1).
TEST_F(StoreOperationsTest, AddTakesANumberCloseToButNotEqualToAStoredOne) {
    Add({"000000000001"});
    for (const char* answer : {"000000001.05", "0000000000.9"}) {
        prompter_.texts = {answer};
        EXPECT_EQ(AddProject(records(), prompter_), base::Outcome::Done) << answer;
        EXPECT_EQ(Current(), answer);
    }
    EXPECT_EQ(records().Count(), 3);
    EXPECT_TRUE(prompter_.messages.empty());
}

TEST_F(StoreOperationsTest, DeleteAsksAndDeletesTheCurrentProject) {
    Add({"201300000001", "201300000002"});
    records().MoveFirst();
    prompter_.answer_ok = false;
    EXPECT_FALSE(DeleteProject(records(), prompter_));
    EXPECT_EQ(records().Count(), 2);
    prompter_.answer_ok = true;
    EXPECT_TRUE(DeleteProject(records(), prompter_));
    EXPECT_EQ(records().Count(), 1);
    EXPECT_EQ(prompter_.messages[0].text, "确实要删除项目编号为201300000001的项目吗？");
    EXPECT_EQ(prompter_.messages[0].icon, base::Icon::Question);
    EXPECT_EQ(prompter_.messages[0].buttons, base::Buttons::OkCancel);
}

TEST_F(StoreOperationsTest, DeleteInAnEmptyStoreFailsWithTheEmptyNumber) {
    EXPECT_FALSE(DeleteProject(records(), prompter_));
    EXPECT_EQ(prompter_.Texts(),
              (std::vector<std::string>{"确实要删除项目编号为的项目吗？",
                                        "删除项目失败！请检查数据或重新启动系统后重试。"}));
}

TEST_F(StoreOperationsTest, InitialiseDeletesEverythingAndKeepsTheCaption) {
    Add({"5", "4", "3", "2", "1"});
    records().MoveFirst();
    const std::string caption = PositionCaption(records(), kNoPositionCaption);
    EXPECT_TRUE(InitialiseStore(records(), prompter_));
    EXPECT_EQ(records().Count(), 0);
    EXPECT_EQ(PositionCaption(records(), caption), caption);
    EXPECT_EQ(prompter_.Texts(),
              std::vector<std::string>{"数据初始化将会删除全部数据，确认要删除吗？"});
}

TEST_F(StoreOperationsTest, InitialiseCancelledDeletesNothing) {
    Add({"1"});
    prompter_.answer_ok = false;
    EXPECT_FALSE(InitialiseStore(records(), prompter_));
    EXPECT_EQ(records().Count(), 1);
}

TEST_F(StoreOperationsTest, EndEditingWritesThePendingChange) {
    Add({"2", "1"});
    records().SetValue("JB01", "待保存");
    EXPECT_TRUE(EndEditing(records(), prompter_));
    EXPECT_EQ(records().Position(), 1);
    EXPECT_EQ(records().ColumnValues(ColumnIndex("JB01"))[1], "待保存");
}

TEST_F(StoreOperationsTest, EndEditingAnEmptyStoreFails) {
    EXPECT_FALSE(EndEditing(records(), prompter_));
    EXPECT_EQ(prompter_.Texts(),
              std::vector<std::string>{"更新数据失败！请检查数据或重新启动系统后重试。"});
}

TEST_F(StoreOperationsTest, PositionCaptionFollowsMoves) {
    EXPECT_EQ(PositionCaption(records(), kNoPositionCaption), "0000/0000");
    Add({"1", "2", "3"});
    records().MoveTo(2);
    EXPECT_EQ(PositionCaption(records(), kNoPositionCaption), "2/3");
}

}  // namespace
}  // namespace zorbix::store
