// SQL through every parameter: texts meant to break out of a statement are
// stored and read back exactly as sent, or refused as bad input, and every
// table stays as it was, on either engine.
#include <gtest/gtest.h>

#include "tests/server/raw_request.h"
#include "tests/server/server_fixture.h"
#include "tests/support/param_names.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
using nlohmann::json;

const std::string kOwn = "201300000001";
const std::string kOthers = "201300000002";

struct Hostile {
    std::string name;
    std::string text;
};

void PrintTo(const Hostile& h, std::ostream* out) { *out << h.name; }

const Hostile kHostile[] = {
    {"OrTrue", "' OR '1'='1"},
    {"DropTable", "\"; DROP TABLE kjxmzxqk; --"},
    {"DropTableQuoted", "'); DROP TABLE kjxmzxqk; --"},
    {"DeleteAccounts", "x'; DELETE FROM accounts; --"},
    {"Subselect", "' || (SELECT password_hash FROM accounts LIMIT 1) || '"},
    {"Placeholders", "?1 $1 :name @p"},
    {"LikeWildcards", "%_%' ESCAPE '\\"},
    {"BackslashEscapes", "\\x00\\'\\\""},
    {"Nul", std::string("a\0b", 3)},
    {"Comment", "/* x */--"},
};

std::string PercentEncodedAll(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        out += {'%', kHex[c >> 4], kHex[c & 0x0F]};
    }
    return out;
}

bool Refused(int status) { return status == 400 || status == 422; }

class SqlInjection : public ServerFixture, public ::testing::WithParamInterface<Hostile> {
protected:
    SqlInjection() {
        AddAccount("admin", Role::Admin, "", "admin-password");
        AddAccount("unit", Role::Unit, "甲单位", "unit-password");
        AddDemoProject(kOwn, "甲单位");
        AddDemoProject(kOthers, "乙单位");
        admin_ = Login("admin", "admin-password");
        unit_ = Login("unit", "unit-password");
        tables_before_ = Tables();
    }

    ~SqlInjection() override {
        EXPECT_EQ(Tables(), tables_before_) << "a table changed";
        EXPECT_EQ(LoginReply("unit", "unit-password").status, 200);
    }

    // The projects, their owners and the accounts, as the store holds them.
    std::string Tables() {
        std::string tables;
        store_.With([&](server::StoreParts& parts) {
            parts.records().FollowChanges();
            tables += std::to_string(parts.records().Count()) + ";";
            for (const auto& account : parts.accounts.All())
                tables += account.name + "," + account.unit + ";";
            for (const char* unit : {"甲单位", "乙单位"})
                for (const auto& project : parts.owners.ProjectsOf(unit))
                    tables += std::string(unit) + ":" + project + ";";
        });
        return tables;
    }

    const std::string& text() const { return GetParam().text; }

    BrowserSession admin_;
    BrowserSession unit_;
    std::string tables_before_;
};

TEST_P(SqlInjection, ProjectValuesAreStoredLiterallyOrRefused) {
    const std::string others = Call("GET", "/api/projects/" + kOthers, &admin_).body;
    for (const char* column : {"JB01", "JB03", "JDCG"}) {
        SCOPED_TRACE(column);
        const Reply saved = SaveFresh(unit_, kOwn, json{{column, text()}});
        if (Refused(saved.status)) continue;
        ASSERT_EQ(saved.status, 200) << saved.body;
        const auto values = Call("GET", "/api/projects/" + kOwn, &unit_).Json()["values"];
        EXPECT_EQ(values[column], text());
    }
    EXPECT_EQ(Call("GET", "/api/projects/" + kOthers, &admin_).body, others);
}

TEST_P(SqlInjection, ColumnNamesInASaveAreRefused) {
    const Reply saved = SaveFresh(unit_, kOwn, json{{text(), "x"}});
    EXPECT_EQ(saved.status, 400) << saved.body;
    const Reply both = SaveFresh(unit_, kOwn, json{{"JB03", "x"}, {"JB01" + text(), "x"}});
    EXPECT_EQ(both.status, 400) << both.body;
    EXPECT_NE(Call("GET", "/api/projects/" + kOwn, &unit_).Json()["values"]["JB03"], "x")
        << "part of a refused save was written";
}

TEST_P(SqlInjection, ReviewCommentsAreStoredLiterallyOrRefused) {
    ASSERT_EQ(Call("POST", "/api/projects/" + kOwn + "/submit", &unit_).status, 200);
    const Reply bad_column = Call("POST", "/api/projects/" + kOwn + "/return", &admin_,
                                  json{{"comment", "x"}, {"fields", {{text(), "x"}}}}.dump());
    EXPECT_EQ(bad_column.status, 400) << bad_column.body;
    const json body{{"comment", text()}, {"fields", {{"JB01", text()}}}};
    const Reply returned = Call("POST", "/api/projects/" + kOwn + "/return", &admin_, body.dump());
    if (Refused(returned.status)) return;
    ASSERT_EQ(returned.status, 200) << returned.body;
    const auto comments = Call("GET", "/api/projects/" + kOwn, &unit_).Json()["comments"];
    EXPECT_EQ(comments["project"], text());
    EXPECT_EQ(comments["fields"]["JB01"], text());
}

TEST_P(SqlInjection, AccountNamesAndUnitsAreStoredLiterallyOrRefused) {
    const Reply made = Call("POST", "/api/accounts", &admin_,
                            json{{"name", text()}, {"role", "unit"}, {"unit", text()}}.dump());
    if (!Refused(made.status)) {
        ASSERT_EQ(made.status, 201) << made.body;
        EXPECT_EQ(made.Json()["name"], text());
        EXPECT_EQ(made.Json()["unit"], text());
        const std::string password = made.Json()["one_time_password"];
        const Reply login = LoginReply(text(), password);
        EXPECT_EQ(login.status, 200) << login.body;
        EXPECT_EQ(login.Json()["name"], text());
        const BrowserSession newcomer{
            login.Header("Set-Cookie").substr(0, login.Header("Set-Cookie").find(';')),
            login.Json().value("csrf", "")};
        // A unit named like a statement sees no project of another unit.
        EXPECT_EQ(Call("POST", "/api/password", &newcomer,
                       json{{"old", password}, {"new", "a-long-password"}}.dump())
                      .status,
                  200);
        EXPECT_EQ(Call("GET", "/api/projects", &newcomer).Json()["projects"].size(), 0u);
        tables_before_ = Tables();
    }
    EXPECT_EQ(Call("GET", "/api/accounts", &admin_).status, 200);
}

TEST_P(SqlInjection, LoginNamesFindNoAccount) {
    for (const std::string& name : {text(), "unit" + text(), text() + "unit"}) {
        const Reply reply = LoginReply(name, "unit-password");
        EXPECT_TRUE(reply.status == 401 || reply.status == 400) << reply.body;
        const Reply with_password = LoginReply("unit", text());
        EXPECT_TRUE(with_password.status == 401 || with_password.status == 400);
    }
}

TEST_P(SqlInjection, NumbersInPathsAndBodiesFindNoProject) {
    const std::string encoded = PercentEncodedAll(text());
    for (const char* suffix : {"", "/findings", "/history", "/report", "/exchange"}) {
        const Reply reply = Call("GET", "/api/projects/" + encoded + suffix, &admin_);
        EXPECT_EQ(reply.status, 404) << suffix << " " << reply.body;
        const Reply by_unit = Call("GET", "/api/projects/" + kOwn + encoded + suffix, &unit_);
        EXPECT_EQ(by_unit.status, 404) << suffix << " " << by_unit.body;
    }
    // Bytes that are no UTF-8 beside the text, which no store can hold.
    for (const char* suffix : {"", "/findings", "/history", "/report", "/exchange"}) {
        EXPECT_EQ(Call("GET", "/api/projects/%FF" + encoded + suffix, &admin_).status, 404);
        EXPECT_EQ(Call("GET", "/api/projects/" + encoded + "%C0" + suffix, &unit_).status, 404);
    }
    EXPECT_EQ(Call("POST", "/api/projects/%FF" + encoded + "/submit", &unit_).status, 404);
    const Reply added = Call("POST", "/api/projects", &unit_, json{{"number", text()}}.dump());
    EXPECT_TRUE(Refused(added.status)) << added.body;
}

TEST_P(SqlInjection, ProgressFiltersMatchNothing) {
    const std::string encoded = PercentEncodedAll(text());
    for (const std::string filter : {"unit=", "region=", "category="}) {
        const Reply reply = Call("GET", "/api/progress?" + filter + encoded, &admin_);
        if (Refused(reply.status)) continue;
        ASSERT_EQ(reply.status, 200) << filter << reply.body;
        EXPECT_EQ(reply.Json()["total"]["projects"], 0) << filter << reply.body;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, SqlInjection, ::testing::ValuesIn(kHostile), NameMember());

}  // namespace
}  // namespace zorbix::testing
