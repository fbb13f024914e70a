// The demo projects keep every rule: a run over a store of them finds
// nothing, whatever the seed.
#include <gtest/gtest.h>

#include "check/check_runs.h"
#include "check/rule_sets.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::check {
namespace {

TEST(DemoFindings, StoresOfDemoProjectsHaveNoFindings) {
    for (std::uint64_t seed : {1u, 2u, 3u, 42u, 2013u}) {
        testing::TempDir dir;
        const auto opened = testing::OpenTestStore(dir.path());
        store::Store& store = *opened;
        store::AddDemoProjects(store.records(), 300, seed);
        store.records().Reopen();
        testing::RecordingPrompter prompter;
        std::string panel;
        ASSERT_TRUE(CheckAllProjects(store.records(), prompter, panel));
        EXPECT_EQ(panel, " 审核结果\r\n") << "seed " << seed;
    }
}

TEST(DemoFindings, ManySingleDemoProjectsHaveNoFindings) {
    for (std::uint64_t seed = 0; seed < 20000; ++seed) {
        CheckResult result;
        CheckAllTables(store::Record(store::MakeDemoProject("201300000001", seed)), result);
        ASSERT_EQ(result.text, "") << "seed " << seed;
    }
}

}  // namespace
}  // namespace zorbix::check
