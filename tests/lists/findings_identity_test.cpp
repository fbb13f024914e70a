// The result panel, the saved check file and the findings workbook of one
// store, byte for byte as they were written before the check result became
// a list of findings: the files in data/findings_2013 were made
// by the batch tool of that time on the same demo store (200 projects,
// seed 2013, the four changes below), the workbook's parts without the
// document properties, which hold the time of writing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "check/check_report_file.h"
#include "check/check_runs.h"
#include "office/zip_archive.h"
#include "store/store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

const std::filesystem::path kBefore = ZORBIX_FINDINGS_BEFORE;

class FindingsAsBefore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RunCli(dir_.path(), {"demo", "200"}).status, 0);
        const auto numbers = Lines(RunCli(dir_.path(), {"list"}).out);
        ASSERT_GE(numbers.size(), 4u);
        const auto number = [&](std::size_t i) {
            return numbers[i].substr(0, numbers[i].find('\t'));
        };
        ASSERT_EQ(RunCli(dir_.path(), {"set", number(0), "JB24=1", "JB01=ab"}).status, 0);
        ASSERT_EQ(RunCli(dir_.path(), {"set", number(1), "JF4001=7"}).status, 0);
        ASSERT_EQ(RunCli(dir_.path(), {"set", number(2), "JL160=9999"}).status, 0);
        ASSERT_EQ(RunCli(dir_.path(), {"set", number(3), "JG710=9999"}).status, 0);
    }
    TempDir dir_;
};

TEST_F(FindingsAsBefore, PanelTextAndSavedCheckFileAreByteIdentical) {
    std::string panel;
    {
        const auto opened = testing::OpenTestStore(dir_.path());
        store::Store& store = *opened;
        RecordingPrompter prompter;
        ASSERT_EQ(check::CheckAllProjects(store.records(), prompter, panel), base::Outcome::Done);
    }
    EXPECT_EQ(check::CheckReportFileBytes(panel), Slurp(kBefore / "check.txt"));
}

TEST_F(FindingsAsBefore, BatchToolOutputAndSavedFileAreByteIdentical) {
    const auto run = RunCli(dir_.path(), {"check"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Slurp(kBefore / "check_stdout.txt"));
    const auto saved = dir_ / "check.txt";
    ASSERT_EQ(RunCli(dir_.path(), {"check", "--save", saved.string()}).status, 0);
    EXPECT_EQ(Slurp(saved), Slurp(kBefore / "check.txt"));
}

TEST_F(FindingsAsBefore, FindingsWorkbookIsByteIdentical) {
    const auto saved = dir_ / "check.xlsx";
    ASSERT_EQ(RunCli(dir_.path(), {"check", "--save", saved.string()}).status, 0);
    const office::ZipArchive book(saved);
    const std::pair<const char*, const char*> parts[] = {
        {"[Content_Types].xml", "content_types.xml"},
        {"_rels/.rels", "rels.xml"},
        {"xl/_rels/workbook.xml.rels", "workbook_rels.xml"},
        {"xl/styles.xml", "styles.xml"},
        {"xl/workbook.xml", "workbook.xml"},
        {"xl/worksheets/sheet1.xml", "sheet1.xml"}};
    for (const auto& [part, file] : parts)
        EXPECT_EQ(book.Read(part), Slurp(kBefore / file)) << part;
}

}  // namespace
}  // namespace zorbix::testing
