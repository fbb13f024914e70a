// The office's progress page against the batch tool on the same store: the
// funds by plan category and by region against the workbooks of
// `zorbix-cli summarize`, the projects with findings against `zorbix-cli
// check`, the projects and their states against `zorbix-cli list` and each
// project's `zorbix-cli history`. The batch tool works in a program
// directory of its own (the server's is locked while it runs): on the
// server's PostgreSQL database itself, or on a copy of its SQLite file
// taken at the moment of comparing. Compared on a store of several units,
// regions and categories, then again after changes through the API and one
// by another program on another connection, which the page follows
// project by project.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "exchange/exchange_writer.h"
#include "server/run_store.h"
#include "store/catalogue.h"
#include "store/demo_projects.h"
#include "summary/code_columns.h"
#include "summary/standard_rows.h"
#include "summary/summary_catalogue.h"
#include "tests/server/server_fixture.h"
#include "tests/server/workbook_bytes.h"
#include "tests/support/cli_runner.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;
using accounts::Role;
using nlohmann::json;

const char* const kUnits[] = {"甲单位", "乙单位", "丙单位"};
constexpr int kDemoProjects = 15;

std::string NumberOf(int i) { return "2013000002" + std::to_string(10 + i); }

// What the batch tool says of the store, in the page's terms.
struct CliFigures {
    int projects = 0;
    std::map<std::string, int> states;  // caption → projects
    int with_findings = 0;
    std::map<std::string, double> by_category;
    std::map<std::string, double> by_region;
};

const std::string kUnlisted = "代码表以外的代码";

// An exchange file of demo projects of these numbers, sent by `unit`.
std::string ExchangeFile(const std::vector<std::string>& numbers, const std::string& unit) {
    std::string bytes;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        store::Row row = store::MakeDemoProject(numbers[i], 500 + i);
        row[store::ColumnIndex("XMCDDW")] = unit;
        bytes += exchange::RecordBytes(store::Record(row), exchange::kSubmitPlaceholder);
    }
    return bytes;
}

// The page's funds lines by name.
std::map<std::string, double> Amounts(const json& lines) {
    std::map<std::string, double> amounts;
    for (const json& line : lines) amounts[line["name"]] = line["amount"];
    return amounts;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

class ProgressAgainstCli : public ServerFixture {
protected:
    ProgressAgainstCli() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        for (int i = 0; i < 3; ++i)
            AddAccount("u" + std::to_string(i), Role::Unit, kUnits[i], "unit-password");
        for (int i = 0; i < kDemoProjects; ++i)
            store_.With([&](server::StoreParts& parts) {
                parts.records().AddNew(store::MakeDemoProject(NumberOf(i), 300 + i));
                parts.owners.SetOwner(NumberOf(i), kUnits[i % 3]);
            });
        AddProject("201300000299", "丙单位");  // empty: fails the rules
        clerk_ = Login("clerk", "clerk-password");
        // Funds with fractions in one category, whose sum depends on the
        // order of adding, and a region no code list knows (a finding).
        const char* fractions[] = {"0.1", "0.2", "0.3", "1234.7"};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(
                SaveFresh(clerk_, NumberOf(i), {{"JF1002", fractions[i]}, {"JB61", "2101"}}).status,
                200);
        EXPECT_EQ(SaveFresh(clerk_, NumberOf(5), {{"JB22", "999"}}).status, 200);
        for (const summary::SummaryDefinition& s : summary::Summaries()) {
            const std::string name = summary::TemplateFileName(s);
            fs::copy_file(fs::u8path(ZORBIX_PROGRAM_DIR) / fs::u8path(name),
                          cli_dir_.path() / fs::u8path(name));
        }
        fs::create_directories(scratch_);
    }

    BrowserSession UnitOf(int i) { return Login("u" + std::to_string(i % 3), "unit-password"); }
    json Progress() {
        const Reply reply = Call("GET", "/api/progress", &clerk_);
        EXPECT_EQ(reply.status, 200) << reply.body;
        return reply.Json();
    }
    void Post(const std::string& path, const BrowserSession& who, const std::string& body = "",
              int status = 200) {
        const Reply reply = Call("POST", path, &who, body);
        EXPECT_EQ(reply.status, status) << path << ": " << reply.body;
    }

    CliResult Cli(const std::vector<std::string>& args) {
        CliResult run = RunCliOn(cli_dir_.path(), TestDatabaseFor(dir_.path()), args);
        EXPECT_EQ(run.status, 0) << args[0] << ": " << run.err;
        return run;
    }
    office::Sheet Workbook(const fs::path& file) { return SheetOfBytes(scratch_, Slurp(file)); }

    // The server's SQLite file as it is now, consistent, in the batch
    // tool's directory; a PostgreSQL store is reached as it is.
    void ShareStore() {
        if (OnPostgres()) return;
        const fs::path copy = cli_dir_.path() / "zorbix2013.db";
        fs::remove(copy);
        store_.With([&](server::StoreParts& parts) {
            parts.store.database().Execute("VACUUM INTO '" + copy.string() + "'");
        });
    }

    CliFigures FromCli() {
        ShareStore();
        CliFigures figures;
        for (const std::string& line : Lines(Cli({"list"}).out)) {
            ++figures.projects;
            ++figures.states[StateOf(Fields(line)[0])];
        }
        figures.with_findings = ProjectsWithFindings();
        Cli({"summarize"});
        ReadFunds(figures);
        return figures;
    }
    // The newest state line of the project's history; a project never
    // saved through the server has none and is 未填报.
    std::string StateOf(const std::string& number) {
        for (const std::string& line : Lines(Cli({"history", number}).out)) {
            const auto fields = Fields(line);
            if (fields.size() >= 5 && fields[2] == "填报状态") return fields[4];
        }
        return "未填报";
    }
    int ProjectsWithFindings() {
        const fs::path saved = scratch_ / "findings.xlsx";
        Cli({"check", "--save", saved.string()});
        const office::Sheet sheet = Workbook(saved);
        std::set<std::string> numbers;
        for (int row = 2; row <= sheet.LastRow(); ++row)
            if (!sheet.At(row, 1).IsEmpty()) numbers.insert(sheet.At(row, 1).text);
        return static_cast<int>(numbers.size());
    }
    // The cells as the workbooks hold them: by category the unit type
    // group's total row of each category's funds column, by region the
    // income total (项目资金收入合计) of each region row.
    void ReadFunds(CliFigures& figures) {
        const office::Sheet plan_funds = Workbook(Output("资金合计各类计划分布汇总"));
        const office::Sheet sources = Workbook(Output("资金来源情况"));
        const summary::RowGroup unit_types = Group("按单位类型分");
        for (const std::int64_t code : summary::kPlanPairCodes)
            figures.by_category[summary::PlanCategoryName(code)] =
                plan_funds.At(unit_types.total_row, summary::PlanColumns(code).amount).number;
        const summary::RowGroup regions = Group("按地区分");
        for (const summary::RowLabel& label : summary::StandardRowLabels())
            if (!label.heading && label.row >= regions.first_row && label.row <= regions.last_row)
                figures.by_region[label.text] = sources.At(label.row, 2).number;
    }
    fs::path Output(std::string_view name) {
        for (const summary::SummaryDefinition& s : summary::Summaries())
            if (s.name == name) return cli_dir_.path() / fs::u8path(summary::OutputFileName(s));
        ADD_FAILURE() << name;
        return {};
    }
    static summary::RowGroup Group(std::string_view title) {
        for (const summary::RowGroup& group : summary::RowGroups())
            if (group.title == title) return group;
        ADD_FAILURE() << title;
        return {};
    }

    // The page's figures equal the batch tool's, line by line.
    void ExpectFiguresOfTheCli(const std::string& when) {
        SCOPED_TRACE(when);
        const json progress = Progress();
        CliFigures cli = FromCli();
        EXPECT_EQ(progress["total"]["projects"], cli.projects);
        for (const auto& [state, count] : progress["total"]["states"].items())
            EXPECT_EQ(count.get<int>(), cli.states[state]) << state;
        EXPECT_EQ(progress["total"]["with_findings"], cli.with_findings);
        EXPECT_EQ(Amounts(progress["funds"]["by_category"]), cli.by_category);
        // The page leaves out the row of codes no list knows while it is 0.
        if (cli.by_region[kUnlisted] == 0) cli.by_region.erase(kUnlisted);
        EXPECT_EQ(Amounts(progress["funds"]["by_region"]), cli.by_region);
    }

    // A change written by another program on a connection of its own: the
    // batch tool on PostgreSQL; on SQLite, whose directory one program
    // holds, a connection of the server's process that the shared record
    // set is not told of.
    void ChangeElsewhere(const std::string& number, const std::string& funds,
                         const std::string& region) {
        if (OnPostgres()) {
            Cli({"set", number, "JF1002=" + funds, "JB22=" + region});
            return;
        }
        server::RunStore other(store_);
        store::RecordSet& records = other.records();
        for (records.MoveFirst(); !records.AtEnd(); records.MoveNext())
            if (records.Value("JB02") == number) break;
        ASSERT_FALSE(records.AtEnd()) << number;
        records.SetValue("JF1002", funds);
        records.SetValue("JB22", region);
        records.WriteBack();
    }

    BrowserSession clerk_;
    TempDir cli_dir_;
    fs::path scratch_ = cli_dir_.path() / "scratch";
};

TEST_F(ProgressAgainstCli, FiguresEqualTheBatchToolsOnTheSameStore) {
    const BrowserSession unit = UnitOf(1);
    Post("/api/projects/" + NumberOf(7) + "/submit", unit);
    Post("/api/projects/" + NumberOf(4) + "/submit", unit);
    Post("/api/projects/" + NumberOf(4) + "/approve", clerk_);
    ExpectFiguresOfTheCli("before any change");
    const json before = Progress();
    EXPECT_GT(before["total"]["with_findings"].get<int>(), 0);
    EXPECT_GT(before["total"]["states"]["已上报"].get<int>(), 0);
}

// Each change is followed by a call of the page, so the page follows them
// one by one; then the whole comparison again.
TEST_F(ProgressAgainstCli, FiguresFollowChangesThroughTheApiAndTheBatchTool) {
    ExpectFiguresOfTheCli("before the changes");
    const BrowserSession first = UnitOf(0), second = UnitOf(1), third = UnitOf(2);
    EXPECT_EQ(SaveFresh(first, NumberOf(3), {{"JF1002", "88.8"}, {"JB22", "110000"}}).status, 200);
    Progress();
    EXPECT_EQ(SaveFresh(first, NumberOf(6), {{"JB61", "2"}}).status, 200);
    Progress();
    Post("/api/projects/" + NumberOf(7) + "/submit", second);
    Progress();
    Post("/api/projects/" + NumberOf(10) + "/submit", second);
    Post("/api/projects/" + NumberOf(10) + "/return", clerk_, R"({"comment":"请核对经费。"})");
    Progress();
    Post("/api/projects/" + NumberOf(13) + "/submit", second);
    Post("/api/projects/" + NumberOf(13) + "/approve", clerk_);
    Progress();
    Post("/api/projects", third, R"({"number":"201300000298"})", 201);
    const int stored = Progress()["total"]["projects"];
    const Reply appended =
        Upload("/api/exchange", &clerk_, ExchangeFile({"201300000281", "201300000282"}, kUnits[1]));
    EXPECT_EQ(appended.status, 200) << appended.body;
    EXPECT_EQ(Progress()["total"]["projects"], stored + 2);
    ChangeElsewhere(NumberOf(8), "4567.25", "999");
    ExpectFiguresOfTheCli("after the changes");
}

// A restore replaces the projects and their history at once: the page
// reads the whole store again.
TEST_F(ProgressAgainstCli, FiguresAfterARestoreAreThoseOfTheRestoredStore) {
    AddAccount("admin", Role::Admin, "", "admin-password");
    const BrowserSession admin = Login("admin", "admin-password");
    Post("/api/backups", admin, "{}");
    const json backups = Call("GET", "/api/backups", &admin).Json()["backups"];
    ASSERT_FALSE(backups.empty());
    const std::string backup = backups[0]["name"];
    const json before = Progress();
    EXPECT_EQ(SaveFresh(UnitOf(0), NumberOf(9), {{"JF1002", "99999"}}).status, 200);
    Post("/api/projects", UnitOf(2), R"({"number":"201300000297"})", 201);
    Progress();
    Post("/api/backups/" + backup + "/restore", admin, "{}");
    ExpectFiguresOfTheCli("after the restore");
    const json after = Progress();
    EXPECT_EQ(after["total"]["projects"], before["total"]["projects"]);
    EXPECT_EQ(after["funds"], before["funds"]);
}

}  // namespace
}  // namespace zorbix::testing
