// Several people on one record: every read answers the project's version,
// a save names the version it started from, and a save over someone
// else's change is refused with who changed it, when, and the values as
// they now are. The change history names the account behind each change.
#include <gtest/gtest.h>

#include <set>

#include "store/catalogue.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;

constexpr const char* kProject = "201300000001";

class ProjectVersions : public ServerFixture {
protected:
    ProjectVersions() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddProject(kProject, "甲单位");
        AddProject("201300000002", "甲单位");
        clerk_ = Login("clerk", "clerk-password");
        unit_ = Login("unit", "unit-password");
    }

    Reply SaveOver(const BrowserSession& who, std::int64_t version, const json& values) {
        return Call("PUT", std::string("/api/projects/") + kProject, &who,
                    json{{"version", version}, {"values", values}}.dump());
    }
    std::string Stored(const std::string& column) {
        return Call("GET", std::string("/api/projects/") + kProject, &clerk_)
            .Json()["values"][column];
    }
    json History() {
        return Call("GET", std::string("/api/projects/") + kProject + "/history", &clerk_)
            .Json()["history"];
    }

    BrowserSession clerk_, unit_;
};

TEST_F(ProjectVersions, ReadListAndSaveAnswerTheSameVersion) {
    const std::int64_t read = VersionOf(kProject, unit_);
    const json list = Call("GET", "/api/projects", &unit_).Json()["projects"];
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]["version"], read);

    const Reply saved = SaveOver(unit_, read, {{"JB01", "新名称"}});
    ASSERT_EQ(saved.status, 200) << saved.body;
    const std::int64_t after = saved.Json()["version"];
    EXPECT_NE(after, read);
    EXPECT_EQ(VersionOf(kProject, unit_), after);
    EXPECT_EQ(Call("GET", "/api/projects", &unit_).Json()["projects"][0]["version"], after);
    EXPECT_EQ(VersionOf("201300000002", unit_), list[1]["version"]) << "the other one stays";
}

TEST_F(ProjectVersions, EverySaveMovesTheVersionOnAndNeverBack) {
    std::int64_t version = VersionOf(kProject, clerk_);
    std::set<std::int64_t> seen = {version};
    for (int i = 0; i < 5; ++i) {
        const Reply saved = SaveOver(clerk_, version, {{"JB03", "单位" + std::to_string(i)}});
        ASSERT_EQ(saved.status, 200) << saved.body;
        version = saved.Json()["version"];
        EXPECT_TRUE(seen.insert(version).second) << "a version came back";
    }
}

TEST_F(ProjectVersions, ASaveOverAStaleVersionIsRefusedWithTheCurrentValues) {
    const std::int64_t read = VersionOf(kProject, clerk_);
    const Reply first = SaveOver(unit_, read, {{"JB01", "单位的名称"}});
    ASSERT_EQ(first.status, 200) << first.body;

    const Reply stale = SaveOver(clerk_, read, {{"JB01", "办公室的名称"}, {"JB03", "承担单位"}});
    ASSERT_EQ(stale.status, 409) << stale.body;
    const json answer = stale.Json();
    const std::string error = answer["error"];
    EXPECT_NE(error.find("“unit”"), std::string::npos) << error;
    const std::string when = History()[0]["time"];
    EXPECT_NE(error.find(when), std::string::npos) << "names when: " << error;
    EXPECT_NE(error.find("办公室的名称"), std::string::npos) << "lists what was typed";
    EXPECT_EQ(answer["current"]["version"], first.Json()["version"]);
    EXPECT_EQ(answer["current"]["values"]["JB01"], "单位的名称");
    EXPECT_EQ(answer["current"]["values"].size(), static_cast<std::size_t>(store::kColumnCount));

    EXPECT_EQ(Stored("JB01"), "单位的名称") << "nothing was overwritten";
    EXPECT_EQ(Stored("JB03"), "");
    const Reply again = SaveOver(clerk_, answer["current"]["version"], {{"JB01", "办公室的名称"}});
    EXPECT_EQ(again.status, 200) << again.body;
}

TEST_F(ProjectVersions, AChangeMadeBesideTheServerMakesAReadVersionStale) {
    const std::int64_t read = VersionOf(kProject, unit_);
    // The window (or the batch tool) writing the record on the same store.
    store_.With([](server::StoreParts& parts) {
        auto& records = parts.records();
        records.MoveTo(1);
        records.SetValue("JB03", "窗口里改的");
        records.WriteBack();
    });
    const Reply stale = SaveOver(unit_, read, {{"JB03", "网页里改的"}});
    ASSERT_EQ(stale.status, 409) << stale.body;
    EXPECT_EQ(stale.Json()["current"]["values"]["JB03"], "窗口里改的");
    EXPECT_EQ(Stored("JB03"), "窗口里改的");
}

TEST_F(ProjectVersions, AVersionMustBeGivenAsAnInteger) {
    for (const json& version : {json(nullptr), json("1"), json(1.5), json(true)}) {
        SCOPED_TRACE(version.dump());
        json body = {{"values", {{"JB03", "x"}}}};
        if (!version.is_null()) body["version"] = version;
        const Reply reply =
            Call("PUT", std::string("/api/projects/") + kProject, &clerk_, body.dump());
        EXPECT_EQ(reply.status, 400) << reply.body;
        EXPECT_NE(reply.Json()["error"].get<std::string>().find("version"), std::string::npos);
    }
    EXPECT_EQ(Stored("JB03"), "");
}

TEST_F(ProjectVersions, TheHistoryNamesTheAccountTheColumnAndBothValues) {
    ASSERT_EQ(SaveOver(unit_, VersionOf(kProject, unit_), {{"JB03", "新单位"}}).status, 200);
    const json lines = History();
    ASSERT_GE(lines.size(), 3u);
    // Newest first: the state's line written with the save, then the value's.
    EXPECT_EQ(lines[0]["column"], "填报状态");
    EXPECT_EQ(lines[0]["old"], "未填报");
    EXPECT_EQ(lines[0]["new"], "填报中");
    EXPECT_EQ(lines[0]["who"], "unit");
    EXPECT_EQ(lines[1]["column"], "JB03");
    EXPECT_EQ(lines[1]["old"], "");
    EXPECT_EQ(lines[1]["new"], "新单位");
    EXPECT_EQ(lines[1]["who"], "unit");
    EXPECT_EQ(lines[1]["operation"], "网页填报");
    EXPECT_EQ(lines[1]["time"].get<std::string>().size(), 19u);
    EXPECT_EQ(lines.back()["column"], "") << "the line of the project's adding";
    EXPECT_EQ(lines.back()["new"], "项目201300000001");
}

TEST_F(ProjectVersions, AUnitReadsTheHistoryOfItsOwnProjectsOnly) {
    AddProject("201300000003", "乙单位");
    EXPECT_EQ(Call("GET", std::string("/api/projects/") + kProject + "/history", &unit_).status,
              200);
    const Reply other = Call("GET", "/api/projects/201300000003/history", &unit_);
    const Reply missing = Call("GET", "/api/projects/201300000009/history", &unit_);
    EXPECT_EQ(other.status, 404);
    EXPECT_EQ(missing.status, 404);
    EXPECT_EQ(other.Json()["error"], "没有编号为“201300000003”的项目。");
}

}  // namespace
}  // namespace zorbix::testing
