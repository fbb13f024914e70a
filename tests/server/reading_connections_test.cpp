// Requests that only read are served on connections of their own, beside
// the writes. What they answer must never be older than a write answered
// before them, and they must find exactly the project the writing side
// would: the first of a number in store order, nothing merely alike.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "server/project_reading.h"
#include "store/catalogue.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

const int kName = store::ColumnIndex("JB01");

class ReadingConnections : public ServerFixture {
protected:
    void AddNamed(const std::string& number, const std::string& name) {
        store_.With([&](server::StoreParts& parts) {
            store::Row row(store::kColumnCount);
            row[store::kNumberColumn] = number;
            row[kName] = name;
            parts.records().AddNew(row);
        });
    }

    std::optional<std::string> NameRead(const std::string& number) {
        return store_.Reading([&](server::ReaderParts& reader) -> std::optional<std::string> {
            const auto record = server::ReadProject(reader, number);
            if (!record) return std::nullopt;
            return std::string((*record)[kName]);
        });
    }
};

TEST_F(ReadingConnections, FindTheFirstOfANumberAndNothingMerelyAlike) {
    AddNamed("2013001", "先到的");
    AddNamed("2013001", "后到的");
    AddNamed("12", "十二");
    EXPECT_EQ(NameRead("2013001"), "先到的");
    EXPECT_EQ(NameRead("12"), "十二");
    for (const std::string alike : {"012", "12 ", " 12", "１２", "+12", "12.0", "1", ""})
        EXPECT_EQ(NameRead(alike), std::nullopt) << "“" << alike << "”";
}

TEST_F(ReadingConnections, AUnitsListHoldsItsOwnProjectsInStoreOrderEachOnce) {
    AddProject("2013009", "甲单位");
    AddProject("2013002", "甲单位");
    AddProject("2013005", "乙单位");
    AddNamed("2013002", "重号");  // a second row of an owned number
    const auto numbers = store_.Reading([&](server::ReaderParts& reader) {
        std::vector<std::string> read;
        for (const store::Record& r : server::ReadUnitsProjects(reader, "甲单位"))
            read.emplace_back(r[store::kNumberColumn]);
        return read;
    });
    EXPECT_EQ(numbers, (std::vector<std::string>{"2013002", "2013009"}));
}

// Units save and read back at once, each its own project: every read
// after an answered save shows that save's values and version.
TEST_F(ReadingConnections, AReadAfterAnAnsweredSaveShowsIt) {
    constexpr int kUnits = 4;
    constexpr int kRounds = 25;
    std::vector<BrowserSession> sessions;
    for (int u = 0; u < kUnits; ++u) {
        const std::string unit = "单位" + std::to_string(u);
        AddAccount("unit" + std::to_string(u), accounts::Role::Unit, unit, "secret-password-1");
        AddProject("20130" + std::to_string(u), unit);
        sessions.push_back(Login("unit" + std::to_string(u), "secret-password-1"));
    }
    std::vector<std::string> faults(kUnits);
    std::vector<std::thread> units;
    for (int u = 0; u < kUnits; ++u)
        units.emplace_back([&, u] {
            const std::string path = "/api/projects/20130" + std::to_string(u);
            for (int round = 0; round < kRounds && faults[u].empty(); ++round) {
                const std::string name = "第" + std::to_string(round) + "次";
                const Reply saved =
                    SaveFresh(sessions[u], "20130" + std::to_string(u), {{"JB01", name}});
                const Reply read = Call("GET", path, &sessions[u]);
                if (saved.status != 200 || read.status != 200)
                    faults[u] = "status " + std::to_string(saved.status) + "/" +
                                std::to_string(read.status);
                else if (read.Json()["values"]["JB01"] != name ||
                         read.Json()["version"] != saved.Json()["version"])
                    faults[u] = "round " + std::to_string(round) + " read " + read.body;
            }
        });
    for (auto& unit : units) unit.join();
    for (int u = 0; u < kUnits; ++u) EXPECT_EQ(faults[u], "") << "unit " << u;
}

// The database server ends every connection of the server (it was
// restarted): reads are served on connections made anew without a
// failure, and a save, refused at most once with the 503 of a lost
// connection, goes through when the page sends it again.
TEST_F(ReadingConnections, AfterTheDatabaseServerEndedTheConnectionsTheServerGoesOn) {
    if (!OnPostgres()) GTEST_SKIP() << "a file has no connections to end";
    AddAccount("unit1", accounts::Role::Unit, "单位一", "secret-password-1");
    AddProject("2013001", "单位一");
    const BrowserSession unit = Login("unit1", "secret-password-1");
    auto other = OpenTestDatabase(dir_.path());
    store::Statement end(*other,
                         "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                         "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    ASSERT_TRUE(end.Step());
    ASSERT_GE(end.Int(0), 4);  // the writing connection and the reading ones
    end.Reset();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Call("GET", "/api/projects/2013001", &unit).status, 200);
    Reply saved = SaveFresh(unit, "2013001", {{"JB01", "重连后保存"}});
    if (saved.status == 503) {
        EXPECT_NE(saved.Json().value("error", "").find("连接已经断开"), std::string::npos);
        saved = SaveFresh(unit, "2013001", {{"JB01", "重连后保存"}});
    }
    EXPECT_EQ(saved.status, 200) << saved.body;
    EXPECT_EQ(Call("GET", "/api/projects/2013001", &unit).Json()["values"]["JB01"], "重连后保存");
}

}  // namespace
}  // namespace zorbix::testing
