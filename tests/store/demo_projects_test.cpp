#include "store/demo_projects.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/gbk.h"
#include "base/numeric_value.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::store {
namespace {

TEST(DemoProjects, AreTheSameForTheSameSeed) {
    EXPECT_EQ(MakeDemoProject("201300000001", 7), MakeDemoProject("201300000001", 7));
    EXPECT_NE(MakeDemoProject("201300000001", 7), MakeDemoProject("201300000001", 8));
}

TEST(DemoProjects, FitTheirFieldsAndUseItemsOfTheLists) {
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
        const Row row = MakeDemoProject("201300000001", seed);
        for (const Column& c : Columns()) {
            if (c.max_bytes > 0) {
                EXPECT_LE(base::GbkLength(row[c.index]), static_cast<std::size_t>(c.max_bytes))
                    << c.name;
            }
            if (c.picker == Picker::None || row[c.index].empty()) continue;
            bool listed = false;
            for (const auto& item : PickerItems(c.picker))
                listed |= PickedValue(c.picker, item) == row[c.index];
            EXPECT_TRUE(listed) << c.name << "=" << row[c.index];
        }
    }
}

// Offices train clerks on demo data, so it must look like a real survey: the
// four uses of provincial money in differing shares, about one project in
// ten delayed, every figure of the tables filled for some projects, and
// names that seldom repeat.
TEST(DemoProjects, LookLikeARealSurvey) {
    constexpr int kProjects = 2000;
    std::set<std::string> names;
    std::map<std::string, int> nonzero;
    int delayed = 0, equal_shares = 0, spent = 0;
    for (std::uint64_t seed = 0; seed < kProjects; ++seed) {
        const Row row = MakeDemoProject("201300000001", seed * 7919);
        const auto value = [&](const char* column) { return row[ColumnIndex(column)]; };
        names.insert(value("JB01"));
        delayed += value("JB71").starts_with("3.");
        for (const Column& c : Columns())
            if (c.kind == Kind::Number && base::NumericValue(row[c.index]) != 0) ++nonzero[c.name];
        const std::string uses[] = {value("JF3112"), value("JF3122"), value("JF3132"),
                                    value("JF3142")};
        if (base::NumericValue(value("JF3002")) < 40) continue;
        ++spent;
        equal_shares += uses[0] == uses[1] && uses[1] == uses[2] && uses[2] == uses[3];
    }
    EXPECT_GT(names.size(), kProjects * 3 / 4u);
    EXPECT_GT(delayed, kProjects * 6 / 100);
    EXPECT_LT(delayed, kProjects * 14 / 100);
    EXPECT_LT(equal_shares, spent / 20);
    for (const Column& c : Columns()) {
        if (c.kind != Kind::Number || c.page == Page::None) continue;
        EXPECT_GT(nonzero[c.name], 0) << c.name << " is 0 in every demo project";
    }
}

TEST(DemoProjects, TakeOnlyNumbersNotYetStored) {
    testing::TempDir dir;
    const auto opened = testing::OpenTestStore(dir.path());
    Store& store = *opened;
    AddDemoProjects(store.records(), 300, 1);
    AddDemoProjects(store.records(), 300, 1);
    std::set<double> numbers;
    for (const auto& n : store.records().ColumnValues(ColumnIndex("JB02"))) {
        EXPECT_EQ(n.size(), 12u);
        numbers.insert(base::NumericValue(n));
    }
    EXPECT_EQ(numbers.size(), 600u);
}

}  // namespace
}  // namespace zorbix::store
