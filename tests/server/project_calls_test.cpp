// The project calls: listing, adding, reading, saving and the findings.
#include <gtest/gtest.h>

#include <thread>

#include "accounts/project_states.h"
#include "store/catalogue.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

class ProjectCalls : public ServerFixture {
protected:
    ProjectCalls() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddProject("201300000001", "甲单位");
        AddProject("201300000002", "乙单位");
        AddProject("201300000003", "");
        clerk_ = Login("clerk", "clerk-password");
        unit_ = Login("unit", "unit-password");
    }

    Reply Save(const BrowserSession& who, const std::string& number, const nlohmann::json& values) {
        return SaveFresh(who, number, values);
    }
    std::string Stored(const std::string& number, const std::string& column) {
        return Call("GET", "/api/projects/" + number, &clerk_).Json()["values"][column];
    }
    static std::vector<std::string> Numbers(const Reply& list) {
        std::vector<std::string> numbers;
        const auto answer = list.Json();
        for (const auto& p : answer["projects"]) numbers.push_back(p["number"]);
        return numbers;
    }

    BrowserSession clerk_, unit_;
};

TEST_F(ProjectCalls, TheOfficeListsEveryProjectAUnitOnlyItsOwn) {
    const Reply all = Call("GET", "/api/projects", &clerk_);
    ASSERT_EQ(all.status, 200);
    EXPECT_EQ(Numbers(all),
              (std::vector<std::string>{"201300000001", "201300000002", "201300000003"}));
    const auto first = all.Json()["projects"][0];
    EXPECT_EQ(first["name"], "项目201300000001");
    EXPECT_EQ(first["unit"], "甲单位");
    EXPECT_EQ(first["state"], "未填报");
    EXPECT_EQ(first["version"], VersionOf("201300000001", clerk_));
    EXPECT_EQ(first["last_change"].get<std::string>().size(), 19u) << "the history's add line";
    EXPECT_EQ(first["findings"],
              Call("GET", "/api/projects/201300000001/findings", &clerk_).Json()["findings"].size())
        << "the list counts what 上报 would meet";
    EXPECT_EQ(Numbers(Call("GET", "/api/projects", &unit_)),
              (std::vector<std::string>{"201300000001"}));
}

TEST_F(ProjectCalls, AddingFollowsTheWindowsRulesAndAUnitsProjectIsItsOwn) {
    const Reply added = Call("POST", "/api/projects", &unit_, R"({"number":"201300000009"})");
    ASSERT_EQ(added.status, 201) << added.body;
    EXPECT_EQ(added.Json()["unit"], "甲单位");
    EXPECT_EQ(Numbers(Call("GET", "/api/projects", &unit_)),
              (std::vector<std::string>{"201300000001", "201300000009"}));

    const Reply short_number = Call("POST", "/api/projects", &clerk_, R"({"number":"2013"})");
    EXPECT_EQ(short_number.status, 422);
    EXPECT_EQ(short_number.Json()["error"], "项目编号格式错误。");
    const Reply taken = Call("POST", "/api/projects", &clerk_, R"({"number":"201300000002"})");
    EXPECT_EQ(taken.status, 409);
    EXPECT_EQ(taken.Json()["error"], "项目编号已存在，请核对。");
    EXPECT_EQ(Call("POST", "/api/projects", &clerk_, R"({"number":""})").status, 400);
    EXPECT_EQ(Call("POST", "/api/projects", &clerk_, R"({})").status, 400);
    EXPECT_EQ(Numbers(Call("GET", "/api/projects", &clerk_)).size(), 4u);
}

TEST_F(ProjectCalls, ReadingGivesEveryColumnByName) {
    const Reply project = Call("GET", "/api/projects/201300000001", &unit_);
    ASSERT_EQ(project.status, 200);
    const auto answer = project.Json();
    EXPECT_EQ(answer["values"].size(), static_cast<std::size_t>(store::kColumnCount));
    EXPECT_EQ(answer["values"]["JB02"], "201300000001");
    EXPECT_EQ(answer["values"]["JB01"], "项目201300000001");
    EXPECT_EQ(answer["state"], "未填报");
    EXPECT_TRUE(answer["version"].is_number_integer());
}

TEST_F(ProjectCalls, ANumberInThePathMayBePercentEncoded) {
    AddProject("2013 0000/01", "");
    const Reply project = Call("GET", "/api/projects/2013%200000%2F01", &clerk_);
    EXPECT_EQ(project.status, 200) << project.body;
    EXPECT_EQ(project.Json()["values"]["JB02"], "2013 0000/01");
    const Reply findings = Call("GET", "/api/projects/2013%200000%2F01/findings", &clerk_);
    EXPECT_EQ(findings.status, 200) << findings.body;
    EXPECT_EQ(
        Call("PUT", "/api/projects/201300000001/findings", &clerk_, R"({"values":{"JB03":"x"}})")
            .status,
        404);
    EXPECT_EQ(Call("GET", "/api/projects/201300000001/other", &clerk_).status, 404);
}

TEST_F(ProjectCalls, SavingWritesTheValuesAndAnswersTheTouchedPagesFindings) {
    const std::int64_t before = VersionOf("201300000001", unit_);
    const Reply saved = Save(unit_, "201300000001", {{"JB01", "新的名称"}, {"JB22", "999"}});
    ASSERT_EQ(saved.status, 200) << saved.body;
    const auto answer = saved.Json();
    EXPECT_EQ(answer["state"], "填报中");
    EXPECT_NE(answer["version"], before);
    EXPECT_EQ(answer["version"], VersionOf("201300000001", unit_));
    ASSERT_FALSE(answer["findings"].empty());
    for (const auto& finding : answer["findings"]) EXPECT_EQ(finding["page"], "table_one");
    EXPECT_NE(answer["findings"].dump().find("JH22行政区划代码填写有误"), std::string::npos);
    EXPECT_EQ(Stored("201300000001", "JB01"), "新的名称");
    EXPECT_EQ(Stored("201300000001", "JB22"), "999");

    const Reply other_page = Save(unit_, "201300000001", {{"JF1102", "10"}});
    const auto other_answer = other_page.Json();
    for (const auto& finding : other_answer["findings"]) EXPECT_EQ(finding["page"], "table_two");
}

TEST_F(ProjectCalls, SavingRefusesWhatTheStoreCannotHoldAndWritesNothing) {
    const Reply control = Save(clerk_, "201300000003", {{"JB03", "好"}, {"JB01", "a\tb"}});
    EXPECT_EQ(control.status, 422);
    EXPECT_NE(control.Json()["error"].get<std::string>().find("项目“201300000003”的JB01"),
              std::string::npos)
        << control.body;
    EXPECT_EQ(Save(clerk_, "201300000003", {{"NOPE", "1"}}).status, 400);
    EXPECT_EQ(Save(clerk_, "201300000003", {{"JB01", 5}}).status, 400);
    const Reply renumber = Save(clerk_, "201300000003", {{"JB02", "201300000004"}});
    EXPECT_EQ(renumber.status, 400);
    EXPECT_EQ(renumber.Json()["error"], "项目编号不能在保存时修改。");
    EXPECT_EQ(Call("PUT", "/api/projects/201300000003", &clerk_, R"({"version":0})").status, 400);
    EXPECT_EQ(Stored("201300000003", "JB03"), "");
    EXPECT_EQ(Call("GET", "/api/projects", &clerk_).Json()["projects"][2]["state"], "未填报");
}

TEST_F(ProjectCalls, AUnitCannotChangeASubmittedProjectTheOfficeCan) {
    store_.With([](server::StoreParts& parts) {
        parts.states.SetState("201300000001", accounts::ProjectState::Submitted);
    });
    const Reply refused = Save(unit_, "201300000001", {{"JB01", "改"}});
    EXPECT_EQ(refused.status, 403);
    EXPECT_EQ(refused.Json()["error"], "项目已处于“已上报”状态，填报单位不能再修改。");
    EXPECT_EQ(Save(clerk_, "201300000001", {{"JB01", "改"}}).status, 200);
    EXPECT_EQ(Stored("201300000001", "JB01"), "改");
}

TEST_F(ProjectCalls, SavesFromManyBrowsersAtOnceAllArrive) {
    const std::vector<std::string> columns = {"JB03", "ZGDW", "XMCDDW", "JB05", "JB06", "JB01"};
    std::vector<std::thread> browsers;
    // A browser whose version went stale meanwhile reads again and saves
    // again, as the page does after its 409.
    for (const std::string& column : columns)
        browsers.emplace_back([&, column] {
            for (int i = 0; i < 10; ++i) {
                int status = 409;
                for (int attempt = 0; status == 409 && attempt < 100; ++attempt)
                    status =
                        Save(clerk_, "201300000003", {{column, column + std::to_string(i)}}).status;
                EXPECT_EQ(status, 200);
            }
        });
    for (auto& browser : browsers) browser.join();
    for (const std::string& column : columns)
        EXPECT_EQ(Stored("201300000003", column), column + "9");
}

TEST_F(ProjectCalls, FindingsAreTheFourRuleSetsAsData) {
    const Reply reply = Call("GET", "/api/projects/201300000001/findings", &unit_);
    ASSERT_EQ(reply.status, 200);
    const auto findings = reply.Json()["findings"];
    ASSERT_FALSE(findings.empty()) << "an empty project misses required fields";
    for (const auto& finding : findings) {
        EXPECT_TRUE(finding.contains("page"));
        EXPECT_TRUE(finding.contains("column"));
        EXPECT_FALSE(finding["text"].get<std::string>().empty());
    }
}

TEST_F(ProjectCalls, TheCatalogueDescribesColumnsPagesAndPickers) {
    const Reply reply = Call("GET", "/api/catalogue", &unit_);
    ASSERT_EQ(reply.status, 200);
    const auto catalogue = reply.Json();
    ASSERT_EQ(catalogue["columns"].size(), static_cast<std::size_t>(store::kColumnCount));
    const auto number = catalogue["columns"][store::kNumberColumn];
    EXPECT_EQ(number["name"], "JB02");
    EXPECT_EQ(number["page"], "cover");
    EXPECT_EQ(number["limit"], 12);
    EXPECT_EQ(number["kind"], "project_number");
    EXPECT_EQ(number["key_class"], "digits");
    EXPECT_EQ(catalogue["columns"][0]["page"], nullptr);
    ASSERT_EQ(catalogue["pages"].size(), 5u);
    EXPECT_EQ(catalogue["pages"][0]["name"], "cover");
    EXPECT_EQ(catalogue["pages"][0]["caption"], "封面");
    EXPECT_FALSE(catalogue["pages"][1]["fields"].empty());
    const auto first_of_table_one = catalogue["pages"][1]["fields"][0];
    EXPECT_EQ(first_of_table_one["column"], "JB21");
    EXPECT_EQ(first_of_table_one["arrows"], (nlohmann::json{{"down", "JB23"}, {"right", "JB22"}}))
        << "the window's arrow moves; keys that move nothing are left out";
    EXPECT_EQ(catalogue["pickers"].size(), static_cast<std::size_t>(store::kPickerCount));
    const auto region = catalogue["pickers"]["ComboJB22"]["items"];
    ASSERT_FALSE(region.empty());
    EXPECT_EQ(region[0]["value"].get<std::string>().size(), 6u) << "the picked region code";
}

}  // namespace
}  // namespace zorbix::testing
