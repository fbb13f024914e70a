#include "store/demo_projects.h"

#include <array>
#include <random>
#include <unordered_set>

#include "base/numeric_value.h"
#include "store/catalogue.h"
#include "store/code_lists.h"
#include "store/province.h"
#include "store/sqlite_db.h"

namespace zorbix::store {
namespace {

constexpr std::array<const char*, 12> kSurnames = {"王", "李", "张", "刘", "陈", "杨",
                                                   "赵", "黄", "周", "吴", "徐", "孙"};
constexpr std::array<const char*, 16> kGivenNames = {
    "伟", "芳", "娜", "敏", "静", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛", "明", "超"};
constexpr std::array<const char*, 10> kSubjects = {
    "高效节能",   "智能控制", "新型复合材料", "绿色种植", "水资源循环利用",
    "中药材提取", "精密加工", "农产品保鲜",   "污水处理", "数字化监测"};
constexpr std::array<const char*, 5> kEndings = {"关键技术研究", "应用示范", "产业化开发",
                                                 "集成与推广", "技术研究与示范"};
constexpr std::array<const char*, 6> kUnitKinds = {
    "科技有限公司", "研究院", "大学", "农业科学研究所", "制药股份有限公司", "环境工程中心"};

class DemoMaker {
public:
    explicit DemoMaker(std::uint64_t seed) : rng_(seed) {}

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

    template <typename List>
    std::string OneOf(const List& list) {
        return list[Between(0, static_cast<int>(std::size(list)) - 1)];
    }
    std::string Item(Picker picker) { return OneOf(PickerItems(picker)); }

    std::string PersonName() {
        return OneOf(kSurnames) + OneOf(kGivenNames) + (Chance(60) ? OneOf(kGivenNames) : "");
    }
    std::string Digits(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>('0' + Between(0, 9));
        return s;
    }
    std::string Phone() { return "0" + std::to_string(Between(310, 399)) + "-" + Digits(8); }
    std::string City() { return Regions()[Between(0, 17)].name; }
    std::string Unit() { return City().substr(0, 6) + OneOf(kUnitKinds); }

private:
    std::mt19937_64 rng_;
};

class RowWriter {
public:
    explicit RowWriter(Row& row) : row_(row) {}
    void Set(std::string_view column, std::string value) {
        row_[ColumnIndex(column)] = std::move(value);
    }
    void Set(std::string_view column, long value) { Set(column, std::to_string(value)); }

private:
    Row& row_;
};

void FillCover(DemoMaker& m, RowWriter& w, const std::string& number) {
    const std::string unit = m.Unit();
    w.Set("JB01", m.City().substr(0, 6) + m.OneOf(kSubjects) + m.OneOf(kEndings));
    w.Set("JB02", number);
    w.Set("ZGDW", m.City() + "科学技术局");
    w.Set("XMCDDW", unit);
    w.Set("JB03", m.PersonName());
    w.Set("JB04", m.PersonName());
    w.Set("JB05", m.Phone());
    w.Set("JB06", "kj" + m.Digits(4) + "@example.cn");
    w.Set("TBSJ", "2013-12-" + std::to_string(m.Between(10, 28)));
    w.Set("JB21", unit);
    const Region& region = Regions()[m.Between(0, 17)];
    w.Set("JB22", region.code);
    w.Set("JB23", region.name + "科技路" + std::to_string(m.Between(1, 300)) + "号");
    w.Set("JB24", std::string(kProvinceCode) + m.Digits(4));
    w.Set("JB25", m.Item(Picker::JB25_JB52_JB54));
    w.Set("JB26", m.Item(Picker::JB26));
    w.Set("JB27", m.Item(Picker::JB27));
}

void FillPeople(DemoMaker& m, RowWriter& w) {
    for (int person = 1; person <= 3; ++person) {
        const std::string n = std::to_string(person);
        w.Set("JB41" + n, m.PersonName());
        w.Set("JB42" + n, m.Item(Picker::Sex));
        w.Set("JB43" + n, static_cast<long>(m.Between(1950, 1990)));
        w.Set("JB44" + n, m.Item(Picker::EducationalBackground));
        w.Set("JB45" + n, m.Item(Picker::Degree));
        w.Set("JB46" + n, m.Item(Picker::Title));
        w.Set("JB47" + n, m.Item(Picker::Type));
        w.Set("JB48" + n, m.Phone());
    }
}

void FillPlan(DemoMaker& m, RowWriter& w) {
    w.Set("JB51", m.Unit());
    w.Set("JB52", m.Item(Picker::JB25_JB52_JB54));
    if (m.Chance(50)) {
        w.Set("JB53", m.Unit());
        w.Set("JB54", m.Item(Picker::JB25_JB52_JB54));
    }
    w.Set("JB61", m.Item(Picker::JB61));
    w.Set("JB62", m.Item(Picker::JB62));
    const int start = m.Between(2008, 2013);
    w.Set("JB63_1", static_cast<long>(start));
    w.Set("JB63_2", static_cast<long>(m.Between(std::max(start, 2012), 2016)));
    w.Set("JB64", m.Item(Picker::JB64));
    w.Set("JB65", m.Item(Picker::JB65));
    const std::string progress = m.Item(Picker::JB71);
    w.Set("JB71", progress);
    if (base::NumericValue(progress) > 2) {
        w.Set("JB72_01", m.Item(Picker::JB72));
        if (m.Chance(40)) w.Set("JB72_02", m.Item(Picker::JB72));
    }
    if (m.Chance(40)) {
        w.Set("JB81", PickerItems(Picker::JB81)[0]);
        const int year = m.Between(std::max(start, 2010), 2013);
        const int month = m.Between(1, 12);
        w.Set("JB82", std::to_string(year) + (month < 10 ? "-0" : "-") + std::to_string(month));
        w.Set("JB83", m.Item(Picker::JB83));
    } else {
        w.Set("JB81", PickerItems(Picker::JB81)[1]);
    }
}

// Fills one side (suffix "1" cumulative, "2" this year) of the funds table so
// that every balance holds.
void FillFundsSide(DemoMaker& m, RowWriter& w, const std::string& side, int scale) {
    static const std::array<const char*, 7> kSources = {"JF170", "JF110", "JF120", "JF130",
                                                        "JF140", "JF150", "JF160"};
    long income = 0;
    long provincial = 0;
    for (const char* source : kSources) {
        const long amount = m.Chance(55) ? m.Between(0, 400) * scale : 0;
        w.Set(std::string(source) + side, amount);
        income += amount;
        if (std::string_view(source) == "JF110") provincial = amount;
    }
    const long spent = income * m.Between(50, 100) / 100;
    w.Set("JF100" + side, income);
    w.Set("JF200" + side, spent);
    w.Set("JF400" + side, income - spent);
    long used = 0;
    const long usable = provincial * m.Between(40, 100) / 100;
    static const std::array<const char*, 4> kUses = {"JF311", "JF312", "JF313", "JF314"};
    for (const char* use : kUses) {
        const long amount = usable / 4;
        w.Set(std::string(use) + side, amount);
        used += amount;
    }
    w.Set("JF300" + side, used);
    w.Set("JF410" + side, static_cast<long>(m.Chance(10) ? m.Between(1, 50) : 0));
}

void FillPeopleCounts(DemoMaker& m, RowWriter& w) {
    const long research = m.Between(2, 40);
    const long production = m.Between(0, 20);
    const long other = m.Between(0, 5);
    const long total = research + production + other;
    w.Set("JL100", total);
    w.Set("JL110", research);
    w.Set("JL111", static_cast<long>(m.Between(1, static_cast<int>(research))));
    w.Set("JL430", production);
    w.Set("JL440", other);
    const long senior = m.Between(0, static_cast<int>(total / 2));
    const long middle = m.Between(0, static_cast<int>(total - senior));
    w.Set("JL120", senior);
    w.Set("JL121", static_cast<long>(m.Between(0, static_cast<int>(senior))));
    w.Set("JL130", middle);
    w.Set("JL131", static_cast<long>(m.Between(0, static_cast<int>(middle))));
    const long doctors = m.Between(0, static_cast<int>(total / 3));
    w.Set("JL140", doctors);
    w.Set("JL150", static_cast<long>(m.Between(0, static_cast<int>(total - doctors))));
    w.Set("JL160", static_cast<long>(m.Between(0, static_cast<int>(total))));
    w.Set("JL190", static_cast<long>(m.Between(0, 2)));
    w.Set("JL200", static_cast<long>(m.Between(0, 3)));
    w.Set("JL300", total * m.Between(3, 12));
    const long master = m.Between(0, 4);
    const long phd = m.Between(0, 2);
    w.Set("JL400", master + phd + m.Between(0, 3));
    w.Set("JL410", phd);
    w.Set("JL420", master);
}

void FillResults(DemoMaker& m, RowWriter& w) {
    const long output = m.Chance(60) ? m.Between(0, 90000) : 0;
    w.Set("JG131", output);
    w.Set("JG102", output / 10 * m.Between(0, 3) / 3);
    w.Set("JG302", output / 8);
    w.Set("JG402", output / 12);
    w.Set("JG160", static_cast<long>(m.Chance(20) ? m.Between(1, 5000) : 0));
    w.Set("JG170", static_cast<long>(m.Chance(20) ? m.Between(1, 5) : 0));
    w.Set("JGCSCD", m.Item(Picker::JGCSCD));
    w.Set("JG512", static_cast<long>(m.Between(0, 3)));
    w.Set("JG522", static_cast<long>(m.Between(0, 500)));
    w.Set("JG532", static_cast<long>(m.Between(0, 2)));
    w.Set("JG542", static_cast<long>(m.Between(0, 4)));
    const long domestic = m.Between(0, 12);
    const long foreign = m.Between(0, 4);
    w.Set("JG702", domestic + foreign);
    w.Set("JG710", domestic);
    w.Set("JG711", static_cast<long>(m.Between(0, static_cast<int>(domestic))));
    w.Set("JG720", foreign);
    w.Set("JG802", static_cast<long>(m.Between(0, 30)));
    const long inventions = m.Between(0, 5), utility = m.Between(0, 5), design = m.Between(0, 2);
    w.Set("JG901", inventions + utility + design);
    w.Set("JG911", inventions);
    w.Set("JG912", utility);
    w.Set("JG913", design);
    const long granted_i = m.Between(0, static_cast<int>(inventions));
    const long granted_u = m.Between(0, static_cast<int>(utility));
    w.Set("JG902", granted_i + granted_u);
    w.Set("JG914", granted_i);
    w.Set("JG915", granted_u);
    w.Set("JG916", 0L);
    w.Set("JG920", static_cast<long>(m.Between(0, static_cast<int>(granted_i))));
    w.Set("JDCG", "完成了" + m.OneOf(kSubjects) + "的" + m.OneOf(kEndings) + "。\r\n" + "发表论文" +
                      std::to_string(domestic + foreign) + "篇，申请专利" +
                      std::to_string(inventions + utility + design) + "项。");
}

}  // namespace

Row MakeDemoProject(const std::string& number, std::uint64_t seed) {
    DemoMaker maker(seed);
    Row row(kColumnCount);
    RowWriter w(row);
    FillCover(maker, w, number);
    FillPeople(maker, w);
    FillPlan(maker, w);
    FillFundsSide(maker, w, "1", 3);
    FillFundsSide(maker, w, "2", 1);
    FillPeopleCounts(maker, w);
    FillResults(maker, w);
    return row;
}

int AddDemoProjects(RecordSet& records, int count, std::uint64_t seed, base::Prompter* progress) {
    std::unordered_set<double> taken;
    for (const auto& number : records.ColumnValues(kNumberColumn))
        taken.insert(base::NumericValue(number));

    std::mt19937_64 numbers(seed);
    std::uniform_int_distribution<std::int64_t> tail(0, 99999999);
    OperationLabel label(records, operation::kDemo);
    Transaction transaction(records.database());
    for (int i = 0; i < count; ++i) {
        std::string number;
        do {
            const std::string digits = std::to_string(tail(numbers));
            number = "2013" + std::string(8 - digits.size(), '0') + digits;
        } while (!taken.insert(base::NumericValue(number)).second);
        records.AddNew(MakeDemoProject(number, numbers()));
        if (progress && i % 1024 == 0) progress->Progress(i, count);
    }
    transaction.Commit();
    return count;
}

}  // namespace zorbix::store
