// Submitting the current project and all projects: dialogs, files, messages
// and where the store stands afterwards.
#include <gtest/gtest.h>

#include "exchange/exchange_operations.h"
#include "exchange/exchange_writer.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::exchange {
namespace {

using testing::RecordingPrompter;
using testing::Slurp;
using testing::TempDir;

class Submit : public ::testing::Test {
protected:
    TempDir dir;
    store::Store store{dir.path()};
    store::RecordSet& records = store.records();
    RecordingPrompter prompter;
};

TEST_F(Submit, AllProjectsInStoreOrderIntoTheChosenFile) {
    store::AddDemoProjects(records, 3, 7);
    records.Reopen();
    prompter.files.push_back(dir / "out");
    EXPECT_EQ(SubmitAllProjects(records, prompter, dir.path()), Outcome::Done);

    ASSERT_EQ(prompter.dialogs.size(), 1u);
    EXPECT_EQ(prompter.dialogs[0].title, "提交数据");
    EXPECT_EQ(prompter.dialogs[0].filter, "kj|*.kj");
    EXPECT_EQ(prompter.dialogs[0].initial_dir, dir.path());
    std::string expected;
    for (int p = 1; p <= 3; ++p) expected += RecordBytes(records.ReadRow(p), kSubmitPlaceholder);
    EXPECT_EQ(Slurp(dir / "out"), expected);  // no extension added
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Qorvath省科技计划项目执行情况年度调查");
    EXPECT_EQ(prompter.messages[0].text,
              "提交数据完成。数据已保存在" + (dir / "out").string() + "中。");
    EXPECT_TRUE(records.AtEnd());
    EXPECT_EQ(prompter.busy_begun, 1);
    EXPECT_EQ(prompter.busy_ended, 1);
}

TEST_F(Submit, CurrentProjectWithItsPendingChange) {
    store::AddDemoProjects(records, 3, 7);
    records.MoveTo(2);
    records.SetValue("JB01", "改过的名称");
    prompter.files.push_back(dir / "one.kj");
    EXPECT_EQ(SubmitCurrentProject(records, prompter, dir.path()), Outcome::Done);
    EXPECT_EQ(Slurp(dir / "one.kj"), RecordBytes(records.Current(), kSubmitPlaceholder));
    EXPECT_EQ(records.Position(), 2);
    EXPECT_EQ(prompter.messages.back().title, "Qorvath省科技统计");
    EXPECT_EQ(prompter.busy_begun, 0);
}

TEST_F(Submit, ExistingFileIsReplaced) {
    store::AddDemoProjects(records, 1, 7);
    records.MoveFirst();
    std::ofstream(dir / "one.kj") << std::string(100000, 'x');
    prompter.files.push_back(dir / "one.kj");
    SubmitCurrentProject(records, prompter, dir.path());
    EXPECT_EQ(Slurp(dir / "one.kj"), RecordBytes(records.Current(), kSubmitPlaceholder));
}

TEST_F(Submit, NoFileChosenAsksTheSurveysQuestion) {
    store::AddDemoProjects(records, 1, 7);
    EXPECT_EQ(SubmitAllProjects(records, prompter, dir.path()), Outcome::Cancelled);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "提交数据");
    EXPECT_EQ(prompter.messages[0].text, "未指定提交数据的文件名！！");
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Question);
    EXPECT_EQ(prompter.messages[0].buttons, base::Buttons::YesNo);
    EXPECT_EQ(prompter.busy_begun, 0);
}

TEST_F(Submit, EmptyStoreWritesNoFileAndSaysWhy) {
    prompter.files.push_back(dir / "out.kj");
    EXPECT_EQ(SubmitAllProjects(records, prompter, dir.path()), Outcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kj"));
    EXPECT_EQ(prompter.messages.back().text,
              "数据提交失败！请检查数据或重新启动系统后重试。\n数据库中没有项目。");
    EXPECT_EQ(prompter.busy_ended, 1);
}

TEST_F(Submit, NoCurrentProjectIsAFailure) {
    store::AddDemoProjects(records, 1, 7);
    records.Reopen();
    prompter.files.push_back(dir / "out.kj");
    EXPECT_EQ(SubmitCurrentProject(records, prompter, dir.path()), Outcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kj"));
}

TEST_F(Submit, UnwritableFileFailsWithItsName) {
    store::AddDemoProjects(records, 1, 7);
    prompter.files.push_back(dir / "missing" / "out.kj");
    EXPECT_EQ(SubmitAllProjects(records, prompter, dir.path()), Outcome::Failed);
    const std::string text = prompter.messages.back().text;
    EXPECT_EQ(text.rfind("数据提交失败！请检查数据或重新启动系统后重试。", 0), 0u) << text;
    EXPECT_NE(text.find("out.kj"), std::string::npos) << text;
}

TEST_F(Submit, CharacterOutsideGbkFailsWithoutAHalfFile) {
    store::AddDemoProjects(records, 2, 7);
    records.MoveTo(2);
    records.SetValue("JB01", "😀");
    records.WriteBack();
    prompter.files.push_back(dir / "out.kj");
    EXPECT_EQ(SubmitAllProjects(records, prompter, dir.path()), Outcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kj"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find("out.kj"), std::string::npos);
}

}  // namespace
}  // namespace zorbix::exchange
