// The office's batch calls: appending exchange files (what was added,
// skipped and differs; the units the added projects belong to; the shared
// store seeing them at once), checking all, the summaries (byte for byte
// the batch tool's workbooks), the reconciliation workbook, the project
// list and the runs in progress.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "exchange/exchange_writer.h"
#include "office/sheet_reader.h"
#include "office/zip_archive.h"
#include "reconcile/plan_list.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_run.h"
#include "tests/server/server_fixture.h"
#include "tests/server/workbook_bytes.h"
#include "tests/support/recording_prompter.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;
namespace fs = std::filesystem;

// A plausible project of that number, naming `unit` as its unit.
store::Row Project(const std::string& number, const std::string& unit, std::uint64_t seed = 3) {
    store::Row row = store::MakeDemoProject(number, seed);
    row[store::ColumnIndex("XMCDDW")] = unit;
    return row;
}

std::string ExchangeFile(const std::vector<store::Row>& rows) {
    std::string bytes;
    for (const store::Row& row : rows)
        bytes += exchange::RecordBytes(store::Record(row), exchange::kSubmitPlaceholder);
    return bytes;
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// Every text of the sheet's first columns, row by row.
std::string CellsOf(const office::Sheet& sheet) {
    std::string cells;
    for (int row = 1; row <= sheet.LastRow(); ++row)
        for (int column = 1; column <= 8; ++column) cells += sheet.At(row, column).text + "|";
    return cells;
}

class BatchCalls : public ServerFixture {
protected:
    BatchCalls() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("jia", Role::Unit, "甲单位", "jia-password");
        AddAccount("yi", Role::Unit, "乙单位", "yi-password");
        clerk_ = Login("clerk", "clerk-password");
        fs::create_directory(scratch_);
    }

    Reply Append(const std::vector<store::Row>& rows) {
        return Upload("/api/exchange", &clerk_, ExchangeFile(rows));
    }

    // The plan workbook lying in the program directory, as the window's
    // reconciliation finds it.
    void PlanInDirectory(const WorkbookRows& planned) {
        WorkbookRows rows = {{std::string("序号"), std::string("项目编号"), std::string("项目名称"),
                              std::string("承担单位"), std::string("处室"), std::string("金额")}};
        rows.insert(rows.end(), planned.begin(), planned.end());
        WriteBytes(dir_.path() / reconcile::kPlanWorkbookXlsx, WorkbookBytes(scratch_, rows));
    }

    void CopySummaryTemplates(const fs::path& to) {
        for (const summary::SummaryDefinition& s : summary::Summaries()) {
            const std::string name = summary::TemplateFileName(s);
            fs::copy_file(fs::u8path(ZORBIX_PROGRAM_DIR) / fs::u8path(name), to / fs::u8path(name),
                          fs::copy_options::overwrite_existing);
        }
    }

    BrowserSession clerk_;
    fs::path scratch_ = dir_.path() / "scratch";
};

TEST_F(BatchCalls, AnAppendSaysWhatWasAddedAndTheSharedStoreServesIt) {
    const Reply appended =
        Append({Project("201300000101", "甲单位"), Project("201300000102", "乙单位")});
    ASSERT_EQ(appended.status, 200) << appended.body;
    const json answer = appended.Json();
    EXPECT_EQ(answer["added"], json({"201300000101", "201300000102"}));
    EXPECT_EQ(answer["skipped"], 0);
    EXPECT_EQ(answer["differing"], json::array());

    const Reply read = Call("GET", "/api/projects/201300000101", &clerk_);
    ASSERT_EQ(read.status, 200) << read.body;
    EXPECT_EQ(read.Json()["values"]["XMCDDW"], "甲单位");
    EXPECT_EQ(Call("GET", "/api/projects", &clerk_).Json()["projects"].size(), 2u);
}

TEST_F(BatchCalls, AppendedProjectsBelongToTheirUnits) {
    // The plan names 乙单位 for …103, whatever the project itself says.
    PlanInDirectory({{1.0, 201300000103.0, std::string("计划项目"), std::string("乙单位"),
                      std::string("高新处"), 10.0}});
    const Reply appended = Append({Project("201300000101", "甲单位"),
                                   Project("201300000103", "甲单位"), Project("201300000104", "")});
    ASSERT_EQ(appended.status, 200) << appended.body;
    EXPECT_EQ(appended.Json()["owners"],
              json({{"201300000101", "甲单位"}, {"201300000103", "乙单位"}}));

    const BrowserSession jia = Login("jia", "jia-password");
    const BrowserSession yi = Login("yi", "yi-password");
    EXPECT_EQ(Call("GET", "/api/projects/201300000101", &jia).status, 200);
    EXPECT_EQ(Call("GET", "/api/projects/201300000103", &jia).status, 404);
    EXPECT_EQ(Call("GET", "/api/projects/201300000103", &yi).status, 200);
    EXPECT_EQ(Call("GET", "/api/projects/201300000104", &jia).status, 404)
        << "a project naming no unit is the office's alone";
    EXPECT_EQ(Call("GET", "/api/projects/201300000104", &clerk_).status, 200);
}

TEST_F(BatchCalls, AResentProjectIsSkippedAndItsDifferencesShown) {
    ASSERT_EQ(Append({Project("201300000101", "甲单位")}).status, 200);
    store::Row changed = Project("201300000101", "甲单位");
    changed[store::ColumnIndex("JB03")] = "王五";
    const Reply again = Append({changed, Project("201300000102", "乙单位")});
    ASSERT_EQ(again.status, 200) << again.body;
    const json answer = again.Json();
    EXPECT_EQ(answer["added"], json({"201300000102"}));
    EXPECT_EQ(answer["skipped"], 1);
    EXPECT_EQ(answer["identical"], 0);
    ASSERT_EQ(answer["differing"].size(), 1u);
    EXPECT_EQ(answer["differing"][0]["number"], "201300000101");
    EXPECT_EQ(answer["differing"][0]["columns"], json({"JB03"}));
    EXPECT_EQ(answer["differing"][0]["changes"][0]["incoming"], "王五");
    EXPECT_NE(Call("GET", "/api/projects/201300000101", &clerk_).Json()["values"]["JB03"], "王五")
        << "the stored project stays as it was";
}

TEST_F(BatchCalls, AFileThatIsNoExchangeFileAddsNothing) {
    const Reply refused = Upload("/api/exchange", &clerk_, "这不是交换文件");
    EXPECT_EQ(refused.status, 422) << refused.body;
    const std::string message = refused.Json().value("error", "");
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(message.find(dir_.path().parent_path().string()), std::string::npos)
        << "no path of the server in the message: " << message;
    EXPECT_EQ(Call("GET", "/api/projects", &clerk_).Json()["projects"].size(), 0u);
}

TEST_F(BatchCalls, AnExchangeFileBeyondTheLimitIsRefusedUnread) {
    EXPECT_EQ(StatusForDeclaredLength("/api/exchange", &clerk_, 65 * 1024 * 1024), 413);
}

TEST_F(BatchCalls, CheckAllAnswersThePanelAndEachFindingsField) {
    AddDemoProject("201300000201", "甲单位");
    AddProject("201300000202", "甲单位");  // empty: fails the rules
    const Reply checked = Call("POST", "/api/check", &clerk_);
    ASSERT_EQ(checked.status, 200) << checked.body;
    const json answer = checked.Json();
    EXPECT_EQ(answer["panel"].get<std::string>().find(" 审核结果"), 0u) << answer["panel"];
    EXPECT_EQ(answer["panel"].get<std::string>().find('\r'), std::string::npos);
    ASSERT_FALSE(answer["findings"].empty());
    bool leads_to_a_field = false;
    for (const json& finding : answer["findings"]) {
        EXPECT_EQ(finding["number"], "201300000202") << finding;
        EXPECT_FALSE(finding["text"].get<std::string>().empty());
        EXPECT_NE(answer["panel"].get<std::string>().find(finding["text"].get<std::string>()),
                  std::string::npos);
        if (finding["column"].is_string() && finding["page"].is_string()) leads_to_a_field = true;
    }
    EXPECT_TRUE(leads_to_a_field);
}

TEST_F(BatchCalls, TheSummariesAreTheBatchToolsWorkbooksByteForByte) {
    CopySummaryTemplates(dir_.path());
    for (int i = 1; i <= 5; ++i)
        AddDemoProject("20130000030" + std::to_string(i), i % 2 ? "甲单位" : "乙单位");
    const Reply zipped = Call("GET", "/api/summaries", &clerk_);
    ASSERT_EQ(zipped.status, 200) << zipped.body;
    EXPECT_EQ(zipped.Header("Content-Type"), "application/zip");
    WriteBytes(scratch_ / "summaries.zip", zipped.body);

    // The same operation the batch tool's summarize runs, on the same store.
    const fs::path batch = scratch_ / "batch";
    fs::create_directory(batch);
    CopySummaryTemplates(batch);
    auto db = OpenTestDatabase(dir_.path());
    store::RecordSet records(*db);
    RecordingPrompter prompter;
    ASSERT_TRUE(summary::RunAllSummaries(records, prompter, batch).Complete());

    const office::ZipArchive archive(scratch_ / "summaries.zip");
    ASSERT_EQ(archive.Names().size(), summary::Summaries().size());
    for (const summary::SummaryDefinition& s : summary::Summaries()) {
        const std::string name = summary::OutputFileName(s);
        SCOPED_TRACE(name);
        ASSERT_TRUE(archive.Has(name));
        EXPECT_TRUE(archive.Read(name) == FileBytes(batch / fs::u8path(name)));
    }
    EXPECT_FALSE(
        fs::exists(dir_.path() / fs::u8path(summary::OutputFileName(summary::Summaries()[0]))))
        << "the program directory's outputs are the batch tool's, not the server's";
}

TEST_F(BatchCalls, WithoutTheTemplatesTheSummariesSayWhy) {
    const Reply refused = Call("GET", "/api/summaries", &clerk_);
    EXPECT_EQ(refused.status, 503);
    EXPECT_NE(refused.Json().value("error", "").find("汇总表模板"), std::string::npos);
}

TEST_F(BatchCalls, TheReconciliationWorkbookListsWhatThePlanMisses) {
    AddDemoProject("201300000401", "甲单位");
    PlanInDirectory({{1.0, 201300000402.0, std::string("未报项目"), std::string("甲单位"),
                      std::string("高新处"), 10.0}});
    const Reply workbook = Call("GET", "/api/reconcile.xlsx", &clerk_);
    ASSERT_EQ(workbook.status, 200) << workbook.body;
    EXPECT_NE(workbook.Header("Content-Disposition").find(".xlsx"), std::string::npos);
    const office::Sheet sheet = SheetOfBytes(scratch_, workbook.body);
    const std::string cells = CellsOf(sheet);
    EXPECT_NE(cells.find("漏报"), std::string::npos) << cells;
    EXPECT_NE(cells.find("201300000402"), std::string::npos) << cells;
    EXPECT_NE(cells.find("错报"), std::string::npos) << cells;
}

TEST_F(BatchCalls, NoReconciliationWorkbookWithoutAPlan) {
    const Reply refused = Call("GET", "/api/reconcile.xlsx", &clerk_);
    EXPECT_EQ(refused.status, 422);
    EXPECT_NE(refused.Json().value("error", "").find("计划表"), std::string::npos);
}

TEST_F(BatchCalls, TheExportHoldsEveryProject) {
    AddDemoProject("201300000501", "甲单位");
    AddDemoProject("201300000502", "乙单位");
    const Reply workbook = Call("GET", "/api/export", &clerk_);
    ASSERT_EQ(workbook.status, 200) << workbook.body;
    const office::Sheet sheet = SheetOfBytes(scratch_, workbook.body);
    const std::string numbers = CellsOf(sheet);
    EXPECT_NE(numbers.find("201300000501"), std::string::npos) << numbers;
    EXPECT_NE(numbers.find("201300000502"), std::string::npos) << numbers;
}

TEST_F(BatchCalls, NoRunIsUnderWayWhenNoneWasStarted) {
    const Reply runs = Call("GET", "/api/runs", &clerk_);
    ASSERT_EQ(runs.status, 200);
    EXPECT_EQ(runs.Json(), json({{"runs", json::array()}}));
}

}  // namespace
}  // namespace zorbix::testing
