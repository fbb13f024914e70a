// Distributing one file per project into a folder.
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

class Distribute : public ::testing::Test {
protected:
    TempDir dir;
    TempDir out;
    store::Store store{dir.path()};
    store::RecordSet& records = store.records();
    RecordingPrompter prompter;

    int FilesIn(const std::filesystem::path& folder) {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder), {}));
    }
};

TEST_F(Distribute, OneFilePerProjectNamedAfterItsNumber) {
    store::AddDemoProjects(records, 2, 11);
    const auto result = DistributeProjects(records, prompter, out.path());
    EXPECT_EQ(result.outcome, Outcome::Done);
    EXPECT_EQ(result.written, 2);
    EXPECT_EQ(FilesIn(out.path()), 2);
    for (int p = 1; p <= 2; ++p) {
        const store::Record row = records.ReadRow(p);
        const std::string name(row[store::ColumnIndex("JB02")]);
        EXPECT_EQ(Slurp(out / (name + ".kj")), RecordBytes(row, kDistributePlaceholder));
    }
    EXPECT_TRUE(records.AtEnd());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].title, "Qorvath省科技统计");
    EXPECT_EQ(prompter.messages[0].text, "项目数据下发完成。");
}

TEST_F(Distribute, EmptyValuesAreFullStops) {
    records.AddNew();
    records.SetValue("JB02", "201300000001");
    records.WriteBack();
    DistributeProjects(records, prompter, out.path());
    std::string expected = "\".\",\"201300000001\",";
    for (int i = 2; i < 137; ++i) expected += "\".\",";
    EXPECT_EQ(Slurp(out / "201300000001.kj"), expected);
}

TEST_F(Distribute, NumberThatLeavesTheFolderIsRefused) {
    for (const char* number : {"201300000001", "../escaped", "a/b"}) {
        records.AddNew();
        records.SetValue("JB02", number);
        records.WriteBack();
    }
    const auto result = DistributeProjects(records, prompter, out.path());
    EXPECT_EQ(result.outcome, Outcome::Refused);
    EXPECT_EQ(result.written, 1);
    EXPECT_EQ(result.refused, 2);
    EXPECT_EQ(FilesIn(out.path()), 1);
    EXPECT_FALSE(std::filesystem::exists(out.path().parent_path() / "escaped.kj"));
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_NE(prompter.messages[0].text.find("../escaped"), std::string::npos);
    EXPECT_EQ(prompter.messages[2].text, "项目数据下发完成。");
}

TEST_F(Distribute, SilencedRefusalsAreShownOnce) {
    for (const char* number : {"a/1", "a/2", "a/3"}) {
        records.AddNew();
        records.SetValue("JB02", number);
        records.WriteBack();
    }
    prompter.silence_repeated = true;
    EXPECT_EQ(DistributeProjects(records, prompter, out.path()).refused, 3);
    EXPECT_EQ(prompter.messages.size(), 2u);
}

TEST_F(Distribute, EmptyStoreIsAFailure) {
    const auto result = DistributeProjects(records, prompter, out.path());
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(prompter.messages.back().text,
              "数据提交失败！请检查数据或重新启动系统后重试。\n数据库中没有项目。");
    EXPECT_EQ(FilesIn(out.path()), 0);
}

TEST_F(Distribute, MissingFolderIsAFailure) {
    store::AddDemoProjects(records, 1, 11);
    EXPECT_EQ(DistributeProjects(records, prompter, out / "none").outcome, Outcome::Failed);
}

}  // namespace
}  // namespace zorbix::exchange
