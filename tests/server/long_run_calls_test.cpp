// While a long run works, the server goes on serving: the run shows on
// /api/runs, a second start of its kind is refused with 409, and other
// calls are answered before the run ends.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "store/demo_projects.h"
#include "summary/summary_catalogue.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;
namespace fs = std::filesystem;

// Enough projects that the summaries take a while.
constexpr int kProjects = 6000;

class LongRunCalls : public ServerFixture {
protected:
    LongRunCalls() {
        AddAccount("clerk", Role::Clerk, "", "clerk-password");
        clerk_ = Login("clerk", "clerk-password");
        for (const summary::SummaryDefinition& s : summary::Summaries()) {
            const std::string name = summary::TemplateFileName(s);
            fs::copy_file(fs::u8path(ZORBIX_PROGRAM_DIR) / fs::u8path(name),
                          dir_.path() / fs::u8path(name));
        }
        store_.With([](server::StoreParts& parts) {
            store::Transaction transaction(parts.store.database());
            for (int i = 0; i < kProjects; ++i)
                parts.records().AddNew(store::MakeDemoProject(std::to_string(201300100000 + i), 5));
            transaction.Commit();
        });
    }

    bool SummariesUnderWay() {
        const nlohmann::json runs = Call("GET", "/api/runs", &clerk_).Json()["runs"];
        for (const auto& run : runs)
            if (run["kind"] == "summaries") return true;
        return false;
    }

    BrowserSession clerk_;
};

TEST_F(LongRunCalls, OthersAreServedAndASecondStartIsRefusedWhileARunWorks) {
    auto summaries =
        std::async(std::launch::async, [this] { return Call("GET", "/api/summaries", &clerk_); });
    bool seen = false;
    while (!seen && summaries.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        seen = SummariesUnderWay();
    // A run that held the store's lock would keep /api/runs waiting until
    // it ended, and never be seen under way.
    ASSERT_TRUE(seen) << "the summaries were never seen under way";

    const Reply second = Call("GET", "/api/summaries", &clerk_);
    const Reply project = Call("GET", "/api/projects/201300100007", &clerk_);
    const bool still_running = SummariesUnderWay();
    EXPECT_EQ(project.status, 200) << project.body;
    // Only while the first still runs must the second be refused.
    if (still_running) {
        EXPECT_EQ(second.status, 409) << second.body;
        EXPECT_NE(second.Json().value("error", "").find("汇总表"), std::string::npos);
    }
    EXPECT_EQ(summaries.get().status, 200);
    EXPECT_FALSE(SummariesUnderWay()) << "the run left the board when it ended";
}

}  // namespace
}  // namespace zorbix::testing
