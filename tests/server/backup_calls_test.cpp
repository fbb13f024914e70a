// The administrator's backups through the API: made, listed, restored with
// the server serving the restored projects at once; names from the path
// that are no listed backup restore nothing.
#include <gtest/gtest.h>

#include <fstream>

#include "store/backups.h"
#include "store/store_protection.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;

class BackupCalls : public ServerFixture {
protected:
    BackupCalls() {
        AddAccount("admin", Role::Admin, "", "admin-password");
        admin_ = Login("admin", "admin-password");
    }

    std::string MakeBackup() {
        const Reply made = Call("POST", "/api/backups", &admin_, "{}");
        EXPECT_EQ(made.status, 200) << made.body;
        const json list = Call("GET", "/api/backups", &admin_).Json()["backups"];
        EXPECT_FALSE(list.empty());
        return list.empty() ? "" : list[0]["name"].get<std::string>();
    }

    Reply Restore(const std::string& name) {
        return Call("POST", "/api/backups/" + name + "/restore", &admin_, "{}");
    }

    BrowserSession admin_;
};

TEST_F(BackupCalls, ABackupIsListedWithItsProjects) {
    AddDemoProject("201300000001", "甲单位");
    const std::string name = MakeBackup();
    const json list = Call("GET", "/api/backups", &admin_).Json()["backups"];
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["name"], name);
    EXPECT_EQ(list[0]["projects"], 1);
    EXPECT_GT(list[0]["size"].get<long>(), 0);
    EXPECT_FALSE(list[0]["time"].get<std::string>().empty());
}

TEST_F(BackupCalls, AfterARestoreTheServerServesTheRestoredProjects) {
    AddDemoProject("201300000001", "甲单位");
    const std::string name = MakeBackup();
    AddDemoProject("201300000002", "甲单位");
    ASSERT_EQ(Call("GET", "/api/projects/201300000002", &admin_).status, 200);

    const Reply restored = Restore(name);
    ASSERT_EQ(restored.status, 200) << restored.body;
    const std::string message = restored.Json()["message"];
    EXPECT_NE(message.find("已从备份"), std::string::npos) << message;
    EXPECT_EQ(message.find("确实要"), std::string::npos) << "the page asked already: " << message;
    EXPECT_EQ(Call("GET", "/api/projects/201300000002", &admin_).status, 404);
    EXPECT_EQ(Call("GET", "/api/projects/201300000001", &admin_).status, 200);
    EXPECT_EQ(Call("GET", "/api/projects", &admin_).Json()["projects"].size(), 1u);
}

TEST_F(BackupCalls, NamesThatAreNoListedBackupRestoreNothing) {
    AddDemoProject("201300000001", "甲单位");
    MakeBackup();
    const auto folder = dir_.path() / store::kBackupFolderName;
    std::ofstream(folder / "notes.db") << "not a backup";
    for (const std::string name :
         {"notes.db", "..%2Fzorbix2013.db", "%2E%2E", "zorbix2013.db", "..%5Czorbix2013.db"}) {
        SCOPED_TRACE(name);
        const Reply refused = Restore(name);
        EXPECT_EQ(refused.status, 404) << refused.body;
        EXPECT_FALSE(refused.Json().value("error", "").empty());
    }
    EXPECT_EQ(Call("GET", "/api/projects", &admin_).Json()["projects"].size(), 1u);
}

TEST_F(BackupCalls, AClerkMayNeitherListNorRestore) {
    AddAccount("clerk", Role::Clerk, "", "clerk-password");
    const BrowserSession clerk = Login("clerk", "clerk-password");
    const std::string name = MakeBackup();
    EXPECT_EQ(Call("GET", "/api/backups", &clerk).status, 403);
    EXPECT_EQ(Call("POST", "/api/backups/" + name + "/restore", &clerk, "{}").status, 403);
}

}  // namespace
}  // namespace zorbix::testing
