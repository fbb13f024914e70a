// The administrator's calls on accounts: units' accounts in bulk from a
// workbook with their one-time passwords as a workbook, the list of
// accounts, and one account at a time.
#include <gtest/gtest.h>

#include "tests/server/server_fixture.h"
#include "tests/server/workbook_bytes.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;

WorkbookCell T(const char* text) { return std::string(text); }

class AccountCalls : public ServerFixture {
protected:
    AccountCalls() {
        AddAccount("admin", Role::Admin, "", "admin-password");
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        admin_ = Login("admin", "admin-password");
        std::filesystem::create_directory(scratch_);
    }

    Reply Units(const WorkbookRows& rows, const BrowserSession* who = nullptr) {
        return Upload("/api/units", who ? who : &admin_, WorkbookBytes(scratch_, rows));
    }
    json Accounts() { return Call("GET", "/api/accounts", &admin_).Json()["accounts"]; }

    std::filesystem::path scratch_ = dir_.path() / "scratch";
    BrowserSession admin_;
};

TEST_F(AccountCalls, UnitsGetAccountsWithOneTimePasswordsInAWorkbook) {
    const Reply reply = Units({{T("序号"), T("单位名称"), T("登录名")},
                               {1.0, T("乙单位"), T("yi")},
                               {2.0, T("丙单位"), T("bing")},
                               {3.0, T("另一个甲单位"), T("unit")}});
    ASSERT_EQ(reply.status, 200) << reply.body;
    EXPECT_NE(reply.Header("Content-Type").find("spreadsheetml"), std::string::npos);
    EXPECT_NE(reply.Header("Content-Disposition").find(".xlsx"), std::string::npos);

    const office::Sheet sheet = SheetOfBytes(scratch_, reply.body);
    EXPECT_EQ(sheet.At(1, 1).text, "单位名称");
    EXPECT_EQ(sheet.At(1, 2).text, "登录名");
    EXPECT_EQ(sheet.At(1, 3).text, "一次性密码");
    EXPECT_EQ(sheet.At(2, 2).text, "yi");
    EXPECT_EQ(sheet.At(3, 1).text, "丙单位");
    EXPECT_EQ(sheet.At(4, 2).text, "unit");
    EXPECT_TRUE(sheet.At(4, 3).IsEmpty()) << "an existing login name gets no password";
    EXPECT_NE(sheet.At(4, 4).text.find("已存在"), std::string::npos);

    const Reply first = LoginReply("yi", sheet.At(2, 3).text);
    ASSERT_EQ(first.status, 200) << first.body;
    EXPECT_EQ(first.Json()["unit"], "乙单位");
    EXPECT_EQ(first.Json()["must_change_password"], true);
    const Reply existing = LoginReply("unit", "unit-password");
    ASSERT_EQ(existing.status, 200) << "left as it was";
    EXPECT_EQ(existing.Json()["unit"], "甲单位");
}

struct RefusedUnits {
    std::string name;
    WorkbookRows rows;
    int status;
    std::string message_part;
};

void PrintTo(const RefusedUnits& units, std::ostream* out) { *out << units.name; }

const RefusedUnits kRefusedUnits[] = {
    {"NoLoginHeading", {{T("单位名称"), T("账户")}, {T("乙单位"), T("yi")}}, 400, "登录名"},
    {"NoUnits", {{T("单位名称"), T("登录名")}}, 400, "没有单位"},
    {"NoLoginName",
     {{T("单位名称"), T("登录名")}, {T("乙单位"), T("yi")}, {T("丙单位"), T("")}},
     422,
     "第3行"},
    {"LoginNameTwice",
     {{T("单位名称"), T("登录名")}, {T("乙单位"), T("yi")}, {T("丙单位"), T("yi")}},
     422,
     "重复"},
    {"LoginNameTooLong",
     {{T("单位名称"), T("登录名")}, {T("乙单位"), std::string(65, 'y')}},
     422,
     "最多64个字符"},
};

class UnitsRefused : public AccountCalls, public ::testing::WithParamInterface<RefusedUnits> {};

TEST_P(UnitsRefused, NoAccountIsMade) {
    const RefusedUnits& units = GetParam();
    const Reply reply = Units(units.rows);
    EXPECT_EQ(reply.status, units.status) << reply.body;
    EXPECT_NE(reply.Json().value("error", "").find(units.message_part), std::string::npos)
        << reply.body;
    EXPECT_EQ(Accounts().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Workbooks, UnitsRefused, ::testing::ValuesIn(kRefusedUnits), NameMember());

TEST_F(AccountCalls, AFileThatIsNoWorkbookIsRefusedWithTheReadersMessage) {
    const Reply reply = Upload("/api/units", &admin_, "no workbook at all");
    EXPECT_EQ(reply.status, 400);
    EXPECT_NE(reply.Json()["error"].get<std::string>().find("上传的单位表"), std::string::npos)
        << reply.body;
}

TEST_F(AccountCalls, TheListNamesEveryAccountWithoutItsHash) {
    const json list = Accounts();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], (json{{"name", "admin"},
                             {"role", "admin"},
                             {"role_caption", "管理员"},
                             {"unit", ""},
                             {"must_change_password", false}}));
    EXPECT_EQ(list[2]["unit"], "甲单位");
    EXPECT_EQ(Call("GET", "/api/accounts", &admin_).body.find("argon2"), std::string::npos);
}

struct NewAccountCase {
    std::string name;
    json body;
    int status;
};

void PrintTo(const NewAccountCase& c, std::ostream* out) { *out << c.name; }

const NewAccountCase kNewAccounts[] = {
    {"AUnit", {{"name", "yi"}, {"role", "unit"}, {"unit", "乙单位"}}, 201},
    {"AClerk", {{"name", "clerk2"}, {"role", "clerk"}}, 201},
    {"AnAdministrator", {{"name", "admin2"}, {"role", "admin"}, {"unit", nullptr}}, 201},
    {"ATakenName", {{"name", "clerk"}, {"role", "clerk"}}, 409},
    {"AnUnknownRole", {{"name", "x"}, {"role", "boss"}}, 400},
    {"AUnitWithoutUnit", {{"name", "x"}, {"role", "unit"}}, 400},
    {"AClerkWithAUnit", {{"name", "x"}, {"role", "clerk"}, {"unit", "甲单位"}}, 400},
    {"NoName", {{"role", "clerk"}}, 400},
    {"AnEmptyName", {{"name", ""}, {"role", "clerk"}}, 400},
};

class NewAccounts : public AccountCalls, public ::testing::WithParamInterface<NewAccountCase> {};

TEST_P(NewAccounts, AreMadeOrRefused) {
    const NewAccountCase& c = GetParam();
    const Reply reply = Call("POST", "/api/accounts", &admin_, c.body.dump());
    EXPECT_EQ(reply.status, c.status) << reply.body;
    if (c.status != 201) {
        EXPECT_FALSE(reply.Json().value("error", "").empty());
        EXPECT_EQ(Accounts().size(), 3u);
        return;
    }
    const json answer = reply.Json();
    EXPECT_EQ(answer["name"], c.body["name"]);
    EXPECT_EQ(answer["must_change_password"], true);
    const Reply login = LoginReply(c.body["name"], answer["one_time_password"]);
    EXPECT_EQ(login.status, 200) << login.body;
    EXPECT_EQ(login.Json()["role"], c.body["role"]);
}

INSTANTIATE_TEST_SUITE_P(Bodies, NewAccounts, ::testing::ValuesIn(kNewAccounts), NameMember());

TEST_F(AccountCalls, OnlyAnAdministratorManagesAccounts) {
    for (const auto& [name, password] :
         {std::pair{"clerk", "clerk-password"}, std::pair{"unit", "unit-password"}}) {
        SCOPED_TRACE(name);
        const BrowserSession who = Login(name, password);
        EXPECT_EQ(Call("GET", "/api/accounts", &who).status, 403);
        EXPECT_EQ(Call("POST", "/api/accounts", &who, R"({"name":"x","role":"admin"})").status,
                  403);
        EXPECT_EQ(Units({{T("单位名称"), T("登录名")}, {T("乙单位"), T("yi")}}, &who).status, 403);
    }
    EXPECT_EQ(Accounts().size(), 3u);
}

}  // namespace
}  // namespace zorbix::testing
