// The whole run on the generated templates: twelve workbooks, the figures in
// their cells, copies of the templates for an empty store, and damaged
// templates or unwritable outputs reported by name while the rest is written.
#include "summary/summary_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "base/prompter.h"
#include "office/zip_archive.h"
#include "store/titles.h"
#include "summary/standard_rows.h"
#include "tests/summary/summary_test_support.h"
#include "tests/support/recording_prompter.h"

namespace zorbix::testing {
namespace {

using summary::OutputFileName;
using summary::Summaries;
using summary::TemplateFileName;

std::filesystem::path TemplateOf(const SmallStore& store, int index) {
    return store.dir() / TemplateFileName(Summaries()[index]);
}
std::filesystem::path OutputOf(const SmallStore& store, int index) {
    return store.dir() / OutputFileName(Summaries()[index]);
}

TEST(SummaryRun, EmptyStoreWritesCopiesOfTheTemplates) {
    SmallStore store;
    store.CopyTemplates();
    RecordingPrompter prompter;
    const auto result = summary::RunAllSummaries(store.records(), prompter, store.dir());
    EXPECT_TRUE(result.Complete());
    EXPECT_EQ(result.written.size(), 12u);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "汇总完成。");
    EXPECT_EQ(prompter.messages[0].title, store::kRunEndTitle);
    EXPECT_EQ(prompter.messages[0].icon, base::Icon::Exclamation);
    EXPECT_EQ(prompter.busy_begun, 1);
    EXPECT_EQ(prompter.busy_ended, 1);
    for (int i = 0; i < summary::kSummaryCount; ++i) {
        office::ZipArchive in(TemplateOf(store, i));
        office::ZipArchive out(OutputOf(store, i));
        const std::string sheet = office::FirstSheetPart(in);
        auto names = in.Names();
        auto written = out.Names();
        std::sort(names.begin(), names.end());
        std::sort(written.begin(), written.end());
        EXPECT_EQ(names, written);
        for (const std::string& name : in.Names())
            if (name != sheet && name != "xl/workbook.xml") {
                EXPECT_EQ(in.Read(name), out.Read(name)) << name;
            }
        const auto before = SheetCells(TemplateOf(store, i));
        const auto after = SheetCells(OutputOf(store, i));
        ASSERT_EQ(before.size(), after.size());
        for (const auto& [ref, cell] : before)
            if (!cell.formula) {
                EXPECT_EQ(after.at(ref).value, cell.value) << ref;
            }
    }
}

TEST(SummaryRun, FiguresLandInTheirCellsAndTotalsCarryTheirValues) {
    SmallStore store;
    store.CopyTemplates();
    store.Add({{"JB25", "06"},
               {"JB22", "960300"},
               {"JB61", "2102"},
               {"JB62", "17"},
               {"JB26", "30"},
               {"JG901", "40000"},
               {"JG911", "-3"},
               {"JF1102", "10.5"}});
    store.Add({{"JB25", "06"}, {"JB26", "30"}, {"JB61", "2102"}, {"JF1102", "4"}});
    RecordingPrompter prompter;
    ASSERT_TRUE(summary::RunAllSummaries(store.records(), prompter, store.dir()).Complete());
    EXPECT_EQ(store.records().Position(), 1);
    const auto patents = SheetCells(OutputOf(store, 1));
    for (const char* ref : {"B7", "B18", "B40", "B59", "B98"})
        EXPECT_EQ(patents.at(ref).value, "40000") << ref;
    EXPECT_EQ(patents.count("C7") ? patents.at("C7").value : "", "")
        << "a negative cell is not written";
    const std::string unit_total = "B" + std::to_string(summary::RowGroups().front().total_row);
    EXPECT_TRUE(patents.at(unit_total).formula);
    EXPECT_EQ(patents.at(unit_total).value, "40000") << "the total carries its value";
    const auto provincial = SheetCells(OutputOf(store, 9));
    EXPECT_EQ(provincial.at("H98").value, "2");
    EXPECT_EQ(provincial.at("I98").value, "14.5");
    EXPECT_TRUE(provincial.at("B98").formula);
    EXPECT_EQ(provincial.at("B98").value, "2");
    EXPECT_EQ(provincial.at("C98").value, "14.5");
}

// What a damaged template looks like on disk.
using Damage = void (*)(const std::filesystem::path& file);

void Remove(const std::filesystem::path& file) { std::filesystem::remove(file); }
void NotAZip(const std::filesystem::path& file) { std::ofstream(file) << "PK? no"; }
void ReplacePart(const std::filesystem::path& file, const std::string& part,
                 const std::string& bytes) {
    std::vector<std::pair<std::string, std::string>> parts;
    {
        office::ZipArchive zip(file);
        for (const std::string& name : zip.Names())
            parts.emplace_back(name, name == part ? bytes : zip.Read(name));
    }
    office::WriteZip(file, parts);
}
void BrokenSheet(const std::filesystem::path& file) {
    ReplacePart(file, "xl/worksheets/sheet1.xml", "<worksheet><sheetData><row></sheetData>");
}
void NoSheet(const std::filesystem::path& file) {
    ReplacePart(file, "xl/workbook.xml", "<workbook><sheets/></workbook>");
}
void ZipBomb(const std::filesystem::path& file) {
    ReplacePart(file, "xl/worksheets/sheet1.xml", std::string(office::kMaxPartBytes + 1, ' '));
}
void OutputBlocked(const std::filesystem::path& file) {
    // A folder where the output should go.
    auto output = file;
    output.replace_filename(file.stem().string() + "_2013.xlsx");
    std::filesystem::create_directories(output / "busy");
}

struct DamageCase {
    const char* what;
    Damage damage;
    const char* reason;  // part of the message
};

TEST(SummaryRun, DamagedTemplatesAreNamedAndTheOthersStillWritten) {
    const std::vector<DamageCase> cases = {
        {"missing", Remove, "找不到"},      {"not a zip", NotAZip, "zip"},
        {"broken XML", BrokenSheet, "XML"}, {"no first sheet", NoSheet, "没有工作表"},
        {"zip bomb", ZipBomb, "过大"},      {"output blocked", OutputBlocked, "无法"}};
    for (const DamageCase& c : cases) {
        SmallStore store;
        store.CopyTemplates();
        store.Add({{"JB26", "30"}, {"JL410", "1"}});
        c.damage(TemplateOf(store, 2));
        RecordingPrompter prompter;
        const auto result = summary::RunAllSummaries(store.records(), prompter, store.dir());
        EXPECT_EQ(result.failed, std::vector<std::string>{"人才培养情况_2013.xlsx"}) << c.what;
        EXPECT_EQ(result.written.size(), 11u) << c.what;
        ASSERT_EQ(prompter.messages.size(), 2u) << c.what;
        const std::string failure = prompter.messages[0].text;
        EXPECT_NE(failure.find("人才培养情况_2013.xlsx"), std::string::npos) << failure;
        EXPECT_NE(failure.find(c.reason), std::string::npos) << c.what << ": " << failure;
        EXPECT_EQ(prompter.messages[1].text,
                  "汇总没有全部完成，以下汇总表没有写出：\n人才培养情况_2013.xlsx");
        EXPECT_EQ(prompter.messages[1].title, store::kRunEndTitle);
        for (int i : {0, 1, 3, 11})
            EXPECT_TRUE(std::filesystem::is_regular_file(OutputOf(store, i))) << i;
        if (c.damage != OutputBlocked) {
            EXPECT_FALSE(std::filesystem::exists(OutputOf(store, 2))) << c.what;
        }
    }
}

TEST(SummaryRun, NoTemplatesAtAllMeansNothingDone) {
    SmallStore store;
    RecordingPrompter prompter;
    const auto result = summary::RunAllSummaries(store.records(), prompter, store.dir());
    EXPECT_EQ(result.failed.size(), 12u);
    EXPECT_EQ(prompter.messages.size(), 13u);
    EXPECT_EQ(prompter.messages.back().text.find("汇总完成"), std::string::npos);
}

}  // namespace
}  // namespace zorbix::testing
