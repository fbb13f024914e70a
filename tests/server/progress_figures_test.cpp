// The progress page's figures against what the rest of the program gives
// on the same store: the states and findings against the check of every
// project (数据审核), the funds against the summary run's grids and
// against the projects' own values, the submissions per day against each
// project's history.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "accounts/project_states.h"
#include "base/numeric_value.h"
#include "server/progress_funds.h"
#include "server/run_store.h"
#include "store/demo_projects.h"
#include "summary/summary_figures.h"
#include "summary/summary_grids.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::ProjectState;
using accounts::Role;
using nlohmann::json;

const char* const kUnits[] = {"甲单位", "乙单位", "丙单位"};
constexpr int kDemoProjects = 12;

std::string NumberOf(int i) { return "2013000001" + std::to_string(10 + i); }

class ProgressFigures : public ServerFixture {
protected:
    ProgressFigures() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        for (int i = 0; i < 3; ++i)
            AddAccount("u" + std::to_string(i), Role::Unit, kUnits[i], "unit-password");
        // Demo projects of different seeds: their regions, categories and
        // funds differ. Every third one is broken so the rules find something.
        for (int i = 0; i < kDemoProjects; ++i) {
            const std::string number = NumberOf(i);
            store_.With([&](server::StoreParts& parts) {
                parts.records().AddNew(store::MakeDemoProject(number, 100 + i));
                parts.owners.SetOwner(number, kUnits[i % 3]);
            });
        }
        AddProject("201300000199", "乙单位");  // empty: fails the rules
        clerk_ = Login("clerk", "clerk-password");
        for (int i = 0; i < kDemoProjects; i += 3)
            EXPECT_EQ(SaveFresh(clerk_, NumberOf(i), {{"JB22", "999"}}).status, 200);
    }

    BrowserSession UnitOf(int i) { return Login("u" + std::to_string(i % 3), "unit-password"); }
    json Progress(const std::string& query = "") {
        const Reply reply = Call("GET", "/api/progress" + query, &clerk_);
        EXPECT_EQ(reply.status, 200) << reply.body;
        return reply.Json();
    }
    json Values(const std::string& number) {
        return Call("GET", "/api/projects/" + number, &clerk_).Json()["values"];
    }
    // Submissions per day as the projects' histories tell them.
    std::map<std::string, int> DaysFromHistories() {
        std::map<std::string, int> days;
        const json list = Call("GET", "/api/projects", &clerk_).Json();
        for (const json& project : list["projects"]) {
            const json history =
                Call("GET", "/api/projects/" + project["number"].get<std::string>() + "/history",
                     &clerk_)
                    .Json();
            for (const json& line : history["history"])
                if (line["column"] == "填报状态" && line["new"] == "已上报")
                    ++days[line["time"].get<std::string>().substr(0, 10)];
        }
        return days;
    }

    BrowserSession clerk_;
};

std::map<std::string, double> Lines(const json& lines) {
    std::map<std::string, double> amounts;
    for (const json& line : lines) amounts[line["name"]] = line["amount"];
    return amounts;
}

TEST_F(ProgressFigures, StatesAndFindingsAreThoseOfTheCheckOfEveryProject) {
    for (int i = 1; i < kDemoProjects; i += 3) {
        const BrowserSession unit = UnitOf(i);
        ASSERT_EQ(Call("POST", "/api/projects/" + NumberOf(i) + "/submit", &unit).status, 200);
    }
    const Reply checked = Call("POST", "/api/check", &clerk_);
    ASSERT_EQ(checked.status, 200) << checked.body;
    std::set<std::string> found;
    const json answer = checked.Json();
    for (const json& finding : answer["findings"])
        found.insert(finding["number"].get<std::string>());
    std::map<std::string, int> per_unit;
    std::map<std::string, std::string> owner_of;
    const json list = Call("GET", "/api/projects", &clerk_).Json();
    for (const json& project : list["projects"]) {
        owner_of[project["number"]] = project["unit"];
        ++per_unit[project["unit"].get<std::string>() + "/" + project["state"].get<std::string>()];
    }
    std::map<std::string, int> found_per_unit;
    for (const std::string& number : found) ++found_per_unit[owner_of[number]];

    const json progress = Progress();
    EXPECT_EQ(progress["total"]["projects"], kDemoProjects + 1);
    EXPECT_EQ(progress["total"]["with_findings"], found.size());
    EXPECT_EQ(progress["total"]["states"]["已上报"], kDemoProjects / 3);
    ASSERT_GT(found.size(), 0u);
    for (const json& unit : progress["units"]) {
        const std::string name = unit["unit"];
        EXPECT_EQ(unit["with_findings"], found_per_unit[name]) << name;
        for (const auto& [state, count] : unit["states"].items())
            EXPECT_EQ(count, per_unit[name + "/" + state]) << name << " " << state;
    }
}

TEST_F(ProgressFigures, FundsAreThoseOfTheSummaryGrids) {
    const json funds = Progress()["funds"];
    const server::Funds reference = store_.With([](server::StoreParts& parts) {
        return server::FundsOfGrids(summary::ComputeSummaryGridsInOrder(parts.records()));
    });
    ASSERT_EQ(funds["by_category"].size(), reference.by_category.size());
    for (std::size_t i = 0; i < reference.by_category.size(); ++i) {
        EXPECT_EQ(funds["by_category"][i]["name"], reference.by_category[i].name);
        EXPECT_DOUBLE_EQ(funds["by_category"][i]["amount"], reference.by_category[i].amount);
    }
    ASSERT_EQ(funds["by_region"].size(), reference.by_region.size());
    for (std::size_t i = 0; i < reference.by_region.size(); ++i)
        EXPECT_DOUBLE_EQ(funds["by_region"][i]["amount"], reference.by_region[i].amount);
}

// The same funds summed here from each project's own values: the grid and
// the rows read are the right ones.
TEST_F(ProgressFigures, FundsAddUpTheProjectsOwnValues) {
    std::map<std::string, double> by_category, by_region;
    for (int i = 0; i < kDemoProjects; ++i) {
        const json values = Values(NumberOf(i));
        const std::string funds = values["JF1002"];
        by_category[values["JB61"]] += base::NumericValue(funds);
        by_region[values["JB22"]] += summary::Amount(funds);
    }
    const json progress = Progress();
    const auto categories = Lines(progress["funds"]["by_category"]);
    for (const auto& [category, amount] : by_category)
        EXPECT_NEAR(categories.at(category), amount, 1e-6) << category;
    double regions_total = 0;
    for (const auto& [name, amount] : Lines(progress["funds"]["by_region"])) {
        regions_total += amount;
        const auto code = by_region.find(name.substr(0, 6));
        if (code != by_region.end()) {
            EXPECT_DOUBLE_EQ(amount, code->second) << name;
        }
    }
    double expected_total = 0;
    for (const auto& [code, amount] : by_region) expected_total += amount;
    EXPECT_DOUBLE_EQ(regions_total, expected_total) << "every project's funds in one region row";
}

TEST_F(ProgressFigures, FundsFollowASave) {
    const json values = Values(NumberOf(1));
    std::string region;
    for (const auto& [name, amount] : Lines(Progress()["funds"]["by_region"]))
        if (name.starts_with(values["JB22"].get<std::string>())) region = name;
    ASSERT_FALSE(region.empty());
    const double was = Lines(Progress()["funds"]["by_region"])[region];
    const double funds = summary::Amount(values["JF1002"].get<std::string>());
    ASSERT_EQ(SaveFresh(clerk_, NumberOf(1), {{"JF1002", std::to_string(funds + 1000)}}).status,
              200);
    EXPECT_DOUBLE_EQ(Lines(Progress()["funds"]["by_region"])[region], was + 1000);
}

// The page keeps its figures between calls: a change written on another
// connection (a long run's, or on PostgreSQL another program's) must show
// all the same.
TEST_F(ProgressFigures, FiguresFollowAChangeOnAnotherConnection) {
    const json before = Progress();
    server::RunStore other(store_);
    store::RecordSet& records = other.records();
    records.MoveFirst();
    const std::string number(records.Value("JB02"));
    const std::string region(records.Value("JB22"));
    const bool had_findings = region == "999";
    records.SetValue("JB22", had_findings ? Values(NumberOf(2))["JB22"].get<std::string>() : "999");
    records.WriteBack();
    server::FollowWrittenRun(store_);  // as every long run that wrote does
    const json after = Progress();
    EXPECT_EQ(after["total"]["with_findings"].get<int>(),
              before["total"]["with_findings"].get<int>() + (had_findings ? -1 : 1))
        << number;
    EXPECT_NE(Lines(after["funds"]["by_region"]), Lines(before["funds"]["by_region"]))
        << "the project's funds moved to another region's row";
}

// A program that writes no history (an older copy) adds a project: the
// page's count of projects tells, and it reads the whole store again.
TEST_F(ProgressFigures, AProjectAddedWithoutAHistoryLineIsCountedAllTheSame) {
    const json before = Progress()["total"];
    {
        server::RunStore other(store_);
        other.database().Execute("INSERT INTO kjxmzxqk (\"JB02\") VALUES ('201300000198')");
    }
    server::FollowWrittenRun(store_);  // an SQLite file sends no notices
    const json after = Progress()["total"];
    EXPECT_EQ(after["projects"].get<int>(), before["projects"].get<int>() + 1);
    EXPECT_EQ(after["with_findings"].get<int>(), before["with_findings"].get<int>() + 1)
        << "an empty project fails the rules";
}

TEST_F(ProgressFigures, SubmissionsPerDayAreThoseOfTheHistories) {
    for (int i = 1; i < kDemoProjects; i += 3) {
        const BrowserSession unit = UnitOf(i);
        ASSERT_EQ(Call("POST", "/api/projects/" + NumberOf(i) + "/submit", &unit).status, 200);
    }
    // Returned and submitted again: a second submission on its day.
    ASSERT_EQ(Call("POST", "/api/projects/" + NumberOf(1) + "/return", &clerk_,
                   R"({"comment":"请核对经费。"})")
                  .status,
              200);
    const BrowserSession unit = UnitOf(1);
    ASSERT_EQ(Call("POST", "/api/projects/" + NumberOf(1) + "/submit", &unit).status, 200);
    std::map<std::string, int> days;
    const json progress = Progress();
    for (const json& day : progress["days"]) days[day["date"]] = day["count"];
    EXPECT_EQ(days, DaysFromHistories());
    int total = 0;
    for (const auto& [date, count] : days) total += count;
    EXPECT_EQ(total, kDemoProjects / 3 + 1);
    // The days follow the filter: only the projects of the unit chosen.
    int of_unit = 0;
    const json of_one_unit = Progress("?unit=" + httplib::detail::encode_query_param(kUnits[1]));
    for (const json& day : of_one_unit["days"]) of_unit += day["count"].get<int>();
    EXPECT_EQ(of_unit, kDemoProjects / 3 + 1) << "every submitted project is 乙单位's";
    EXPECT_TRUE(
        Progress("?unit=" + httplib::detail::encode_query_param(kUnits[0]))["days"].empty());
}

TEST_F(ProgressFigures, ARegionChoiceNarrowsToItsProjects) {
    const json progress = Progress();
    EXPECT_EQ(progress["choices"]["units"], json::array({"丙单位", "乙单位", "甲单位"}));
    EXPECT_EQ(progress["choices"]["categories"].size(), 10u);
    ASSERT_EQ(progress["choices"]["regions"].size(), 18u);
    std::map<std::string, int> per_region;
    for (int i = 0; i < kDemoProjects; ++i) ++per_region[Values(NumberOf(i))["JB22"]];
    for (const json& region : progress["choices"]["regions"]) {
        const std::string value = region["value"];
        const std::string code = region["text"].get<std::string>().substr(0, 6);
        EXPECT_TRUE(code.starts_with(value)) << region;
        int expected = 0;
        for (const auto& [stored, count] : per_region)
            if (stored.starts_with(value)) expected += count;
        EXPECT_EQ(Progress("?region=" + value)["total"]["projects"], expected) << value;
    }
}

}  // namespace
}  // namespace zorbix::testing
