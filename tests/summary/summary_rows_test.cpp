// The standard row layout: each group's rule on its keys, the rows a whole
// record reaches, and the labels the templates carry.
#include <gtest/gtest.h>

#include <set>

#include "store/catalogue.h"
#include "store/code_lists.h"
#include "store/province.h"
#include "summary/standard_rows.h"

namespace zorbix::summary {
namespace {

TEST(StandardRows, UnitTypeRows) {
    const std::vector<std::pair<int, int>> cases = {{1, 2},   {6, 7},   {10, 11}, {11, 12},
                                                    {12, 13}, {15, 16}, {20, 21}, {21, 12},
                                                    {0, 12},  {99, 12}, {-1, 12}};
    for (auto [key, row] : cases) EXPECT_EQ(UnitTypeRow(key), row) << key;
}

TEST(StandardRows, RegionRows) {
    const std::vector<std::pair<std::int64_t, int>> cases = {
        {960100, 16}, {960300, 18}, {961700, 32}, {960881, 33}, {0, 15},      {96, 15},
        {9601, 16},   {961900, 34}, {960000, 15}, {960899, 23}, {-960100, 75}};
    for (auto [key, row] : cases) EXPECT_EQ(RegionRow(key), row) << key;
}

TEST(StandardRows, PlanTechnologyAndDepartmentRows) {
    const std::vector<std::pair<int, int>> plans = {{1100, 38}, {2101, 39}, {2102, 40}, {2201, 41},
                                                    {2300, 42}, {2400, 43}, {3400, 44}, {4100, 45},
                                                    {4200, 46}, {4300, 47}, {5100, 48}, {2105, 49}};
    for (auto [code, row] : plans) EXPECT_EQ(PlanCategoryRow(code), row) << code;
    for (int code : {0, 2202, 2203, 9999}) EXPECT_EQ(PlanCategoryRow(code), std::nullopt) << code;
    EXPECT_EQ(TechnologyFieldRow(11), 53);
    EXPECT_EQ(TechnologyFieldRow(17), 59);
    EXPECT_EQ(TechnologyFieldRow(23), 65);
    for (int code : {0, 10, 24}) EXPECT_EQ(TechnologyFieldRow(code), std::nullopt) << code;
    const std::vector<std::pair<int, int>> departments = {{1, 69},   {30, 98},  {80, 148},
                                                          {81, 149}, {99, 149}, {0, 149}};
    for (auto [code, row] : departments) EXPECT_EQ(DepartmentRow(code), row) << code;
}

store::Record RecordOf(std::initializer_list<std::pair<const char*, const char*>> fields) {
    store::Record record;
    for (const auto& [name, value] : fields) record.Set(store::ColumnIndex(name), value);
    return record;
}

std::vector<int> RowsOf(const store::Record& record) {
    const StandardRows rows = StandardRowsOf(record);
    return {rows.begin(), rows.end()};
}

TEST(StandardRows, AProjectReachesOneRowPerGroup) {
    EXPECT_EQ(RowsOf(RecordOf({{"JB25", "06.私营企业"},
                               {"JB22", "960300"},
                               {"JB61", "2102.重点科技攻关"},
                               {"JB62", "17.生物技术"},
                               {"JB26", "30省科学技术厅"}})),
              (std::vector<int>{7, 18, 40, 59, 98}));
    EXPECT_EQ(RowsOf(RecordOf({})), (std::vector<int>{12, 15, 149}));
    // Keys are cut down: 6.9 is unit type 6; the 2201-2203 entry counts as 2201.
    EXPECT_EQ(RowsOf(RecordOf({{"JB25", "6.9"},
                               {"JB22", "961700"},
                               {"JB61", "2201-2203.科技成果转化"},
                               {"JB62", "24"},
                               {"JB26", "99其他"}})),
              (std::vector<int>{7, 32, 41, 149}));
    // Unit type 15 lands in row 16, inside the region rows.
    EXPECT_EQ(RowsOf(RecordOf({{"JB25", "15"}, {"JB22", "960881"}})),
              (std::vector<int>{16, 33, 149}));
}

TEST(StandardRowLabels, NameEveryCodeRowFromThePickers) {
    std::map<int, std::string> labels;
    for (const RowLabel& label : StandardRowLabels()) {
        EXPECT_TRUE(labels.emplace(label.row, label.text).second)
            << "row " << label.row << " twice";
    }
    EXPECT_EQ(labels[2], "01.大专院校");
    EXPECT_EQ(labels[12], "99.其他");
    const auto regions = store::Regions();
    for (std::size_t i = 0; i < regions.size(); ++i)
        EXPECT_EQ(labels[16 + static_cast<int>(i)], regions[i].code + regions[i].name);
    EXPECT_EQ(labels[41], "2201-2203.科技成果转化");
    EXPECT_EQ(labels[44], "3400.代码表未列的计划类别");
    EXPECT_EQ(labels[47], "4300.代码表未列的计划类别");
    EXPECT_EQ(labels[49], "2105.高新技术产业化项目");
    EXPECT_EQ(labels[65], "23.公共安全与其他社会事业");
    for (int code = 1; code <= 80; ++code)
        EXPECT_EQ(std::stoi(labels[68 + code].substr(0, 2)), code) << labels[68 + code];
    EXPECT_EQ(labels[149], "99其他");
    EXPECT_EQ(labels[150], "各组合计");
    EXPECT_EQ(labels[151], "单位类型合计");
    EXPECT_EQ(labels[155], "主管部门合计");
    for (int row : {13, 34, 35, 36, 50, 51, 66, 67})
        EXPECT_EQ(labels[row], "代码表以外的代码") << row;
    for (int row = 1; row <= 155; ++row) EXPECT_TRUE(labels.contains(row)) << row;
    EXPECT_EQ(labels[1], "项目分组（首组：按单位类型分）");
    for (int row : {14, 37, 52, 68}) EXPECT_EQ(labels[row].rfind("按", 0), 0u) << row;
}

}  // namespace
}  // namespace zorbix::summary
