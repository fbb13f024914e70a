#include "store/demo_projects.h"

#include <gtest/gtest.h>

#include <set>

#include "base/gbk.h"
#include "base/numeric_value.h"
#include "store/catalogue.h"
#include "store/store.h"
#include "tests/support/temp_dir.h"

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

TEST(DemoProjects, TakeOnlyNumbersNotYetStored) {
    testing::TempDir dir;
    Store store(dir.path());
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
