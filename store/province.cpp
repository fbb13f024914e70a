#include "store/province.h"

#include <array>
#include <vector>

namespace zorbix::store {
namespace {

// The province's places: the 18 cities of the region list in its order.
constexpr std::array<const char*, 18> kCities = {"洛安", "青禾", "岚山", "临泽", "白沙", "云溪",
                                                 "丰原", "石门", "清河", "金川", "安平", "苍岭",
                                                 "望海", "长宁", "柳江", "鹿鸣", "松阳", "桐湾"};

// Two high-tech zones and six further places with bureaus of their own.
constexpr std::array<const char*, 2> kZones = {"洛安", "青禾"};
constexpr std::array<const char*, 6> kCounties = {"东坪县", "西岭县", "南湖县",
                                                  "北塘县", "玉泉县", "梅林县"};

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::vector<Region> BuildRegions() {
    std::vector<Region> regions;
    for (int i = 0; i < 17; ++i)
        regions.push_back(
            {std::string(kProvinceCode) + TwoDigits(i + 1) + "00", std::string(kCities[i]) + "市"});
    regions.push_back({std::string(kProvinceCode) + "0881", std::string(kCities[17]) + "市"});
    return regions;
}

std::vector<std::string> BuildDepartments() {
    std::vector<std::string> rows;
    int code = 1;
    for (const char* city : kCities) rows.push_back(TwoDigits(code++) + city + "市科技局");
    for (const char* zone : kZones) rows.push_back(TwoDigits(code++) + zone + "高新区科技局");
    for (const char* county : kCounties) rows.push_back(TwoDigits(code++) + county + "科技局");
    return rows;
}

}  // namespace

std::span<const Region> Regions() {
    static const std::vector<Region> regions = BuildRegions();
    return regions;
}

std::span<const std::string> LocalDepartments() {
    static const std::vector<std::string> rows = BuildDepartments();
    return rows;
}

}  // namespace zorbix::store
