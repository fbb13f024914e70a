// The result panel, the saved check file and the findings workbook of one
// store, byte for byte as they were written before the check result became
// a list of findings: the files in data/findings_2013 were made
// by the batch tool of that time on the same demo store (200 projects,
// seed 2013, the four changes below), the workbook's parts without the
// document properties, which hold the time of writing. The window's
// "保存结果" takes the findings its panel's lines stand for: those of the
// check, or, for lines that came as text, those read back from the lines;
// both give the same workbook.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "check/check_report_file.h"
#include "check/check_runs.h"
#include "check/finding_fields.h"
#include "lists/results_workbook.h"
#include "office/zip_archive.h"
#include "store/store.h"
#include "tests/support/cli_runner.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {
namespace {

const std::filesystem::path kBefore = ZORBIX_FINDINGS_BEFORE;

// Every part of the workbook but the document properties, as before.
void ExpectWorkbookAsBefore(const std::filesystem::path& saved) {
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

// The findings of the lines of a panel text, as the window reads lines
// that came without their findings.
std::vector<check::Finding> FindingsReadFrom(const std::string& panel) {
    std::vector<check::Finding> findings;
    for (const std::string& line : Lines(panel))
        if (auto finding = check::FindingOfLine(line)) findings.push_back(std::move(*finding));
    return findings;
}

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
    ExpectWorkbookAsBefore(saved);
}

TEST_F(FindingsAsBefore, SavedResultsOfTheCheckedFindingsAreByteIdentical) {
    const auto opened = testing::OpenTestStore(dir_.path());
    store::Store& store = *opened;
    RecordingPrompter prompter;
    std::string panel;
    std::vector<check::Finding> findings;
    ASSERT_EQ(check::CheckAllProjects(store.records(), prompter, panel, &findings),
              base::Outcome::Done);
    ASSERT_GE(findings.size(), 4u);
    const auto book = dir_ / "window.xlsx";
    prompter.files = {book, dir_ / "window.txt"};
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(lists::SaveResults(store.records(), prompter, panel, dir_.path(), findings),
                  base::Outcome::Done);
    ExpectWorkbookAsBefore(book);
    EXPECT_EQ(Slurp(dir_ / "window.txt"), Slurp(kBefore / "check.txt"));
}

TEST_F(FindingsAsBefore, FindingsReadBackFromThePanelAreTheCheckedOnes) {
    std::string panel;
    std::vector<check::Finding> checked;
    {
        const auto opened = testing::OpenTestStore(dir_.path());
        store::Store& store = *opened;
        RecordingPrompter prompter;
        ASSERT_EQ(check::CheckAllProjects(store.records(), prompter, panel, &checked),
                  base::Outcome::Done);
    }
    const std::vector<check::Finding> read = FindingsReadFrom(Slurp(kBefore / "check_stdout.txt"));
    ASSERT_EQ(read.size(), checked.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].project, checked[i].project) << i;
        EXPECT_EQ(read[i].text, checked[i].text) << i;
    }
    EXPECT_EQ(check::FindingsText(read), panel.substr(panel.find('\n') + 1));
    const auto opened = testing::OpenTestStore(dir_.path());
    store::Store& store = *opened;
    RecordingPrompter prompter;
    const auto book = dir_ / "read.xlsx";
    ASSERT_EQ(lists::SaveResultsTo(store.records(), prompter, panel, dir_.path(), book, read),
              base::Outcome::Done);
    ExpectWorkbookAsBefore(book);
}

// A store with many findings of every page: each project breaks a few of
// these rules, a different few from its neighbours.
TEST(FindingsOfManyProjects, TheCheckedFindingsGiveTheRowsOfTheirLines) {
    TempDir dir;
    ASSERT_EQ(RunCli(dir.path(), {"demo", "200"}).status, 0);
    const auto opened = testing::OpenTestStore(dir.path());
    store::Store& store = *opened;
    store::RecordSet& records = store.records();
    const std::pair<const char*, const char*> breaks[] = {
        {"JB01", "ab"},     {"JB24", "123"}, {"JF4001", "99999"}, {"JL160", "99999"},
        {"JG710", "99999"}, {"JB411", ""},   {"JB61", "1890"},    {"JB25", "x"}};
    const int kinds = static_cast<int>(std::size(breaks));
    for (int p = 1; p <= records.Count(); ++p) {
        records.MoveTo(p);
        for (int k = 0; k < kinds; ++k)
            if ((p >> (k % 4)) % 3 == k % 3) records.SetValue(breaks[k].first, breaks[k].second);
        records.WriteBack();
    }
    RecordingPrompter prompter;
    std::string panel;
    std::vector<check::Finding> checked;
    ASSERT_EQ(check::CheckAllProjects(records, prompter, panel, &checked), base::Outcome::Done);
    ASSERT_GT(checked.size(), 300u);
    const std::vector<check::Finding> read = FindingsReadFrom(panel);
    ASSERT_EQ(read.size(), checked.size());
    const auto from_list = dir / "list.xlsx";
    const auto from_lines = dir / "lines.xlsx";
    ASSERT_EQ(lists::SaveResultsTo(records, prompter, panel, dir.path(), from_list, checked),
              base::Outcome::Done);
    ASSERT_EQ(lists::SaveResultsTo(records, prompter, panel, dir.path(), from_lines, read),
              base::Outcome::Done);
    const office::ZipArchive list_book(from_list);
    const office::ZipArchive lines_book(from_lines);
    const std::string sheet = "xl/worksheets/sheet1.xml";
    EXPECT_EQ(list_book.Read(sheet), lines_book.Read(sheet));
}

}  // namespace
}  // namespace zorbix::testing
