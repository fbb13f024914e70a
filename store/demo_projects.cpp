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

// Surnames and given-name characters in roughly the mix of a province's
// staff lists: common surnames more often, two-character given names mostly.
constexpr std::array<const char*, 32> kSurnames = {
    "王", "李", "张", "刘", "陈", "杨", "赵", "黄", "周", "吴", "徐", "孙", "胡", "朱", "高", "林",
    "何", "郭", "马", "罗", "梁", "宋", "郑", "谢", "韩", "唐", "冯", "于", "董", "萧", "程", "曹"};
constexpr std::array<const char*, 48> kGivenNames = {
    "伟", "芳", "娜", "敏", "静", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛", "明", "超",
    "秀", "霞", "平", "刚", "桂", "英", "华", "建", "国", "志", "文", "海", "红", "丽", "鹏", "辉",
    "宇", "晨", "欣", "颖", "俊", "峰", "斌", "波", "慧", "琳", "婷", "雪", "松", "林", "荣", "新"};
// Project names are a subject and a kind of work, as plan lists read.
constexpr std::array<const char*, 32> kSubjects = {
    "高效节能电机",       "智能控制系统",       "新型复合材料",       "设施蔬菜绿色种植",
    "水资源循环利用",     "中药材有效成分提取", "精密数控加工",       "果蔬冷链保鲜",
    "城镇污水深度处理",   "桥梁健康数字化监测", "优质小麦新品种选育", "生猪健康养殖",
    "锂离子电池正极材料", "工业余热回收",       "稀土永磁材料",       "农村饮水安全",
    "食用菌工厂化栽培",   "光伏发电并网",       "煤矸石综合利用",     "茶叶深加工",
    "重大传染病防控",     "中小学校园安全预警", "物联网环境监测",     "秸秆资源化利用",
    "特色林果丰产栽培",   "高性能混凝土",       "医用可降解材料",     "智能电网调度",
    "地质灾害预警",       "畜禽粪污无害化处理", "北斗定位终端",       "工业机器人"};
constexpr std::array<const char*, 8> kQualifiers = {
    "基于物联网的", "面向县域的", "低成本", "高效", "新一代", "大型", "规模化", "全流程"};
constexpr std::array<const char*, 10> kEndings = {
    "关键技术研究", "应用示范", "产业化开发", "集成与推广", "技术研究与示范",
    "研制",         "工艺研究", "示范工程",   "推广应用",   "技术开发"};
// Company names: a word of good omen and a kind of firm; institutes and
// universities take the city's name.
constexpr std::array<const char*, 16> kFirmWords = {"华信", "恒远", "新源", "金泰", "瑞丰", "宏达",
                                                    "天成", "汇通", "长青", "佳禾", "永安", "博远",
                                                    "正元", "中科", "绿洲", "鼎盛"};
constexpr std::array<const char*, 4> kFirmKinds = {"科技有限公司", "股份有限公司", "制药有限公司",
                                                   "新材料有限公司"};
constexpr std::array<const char*, 6> kInstitutes = {"农业科学研究院", "工业技术研究院", "大学",
                                                    "职业技术学院",   "环境监测中心",   "人民医院"};

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
        return OneOf(kSurnames) + OneOf(kGivenNames) + (Chance(75) ? OneOf(kGivenNames) : "");
    }
    // An index drawn with these weights.
    int Weighted(std::initializer_list<double> weights) {
        return std::discrete_distribution<int>(weights)(rng_);
    }
    std::string Digits(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>('0' + Between(0, 9));
        return s;
    }
    std::string Phone() { return "0" + std::to_string(Between(310, 399)) + "-" + Digits(8); }
    std::string City() { return Regions()[Between(0, 17)].name; }
    // The first two characters of a city's name, as unit names use it.
    std::string CityWord() { return City().substr(0, 6); }
    std::string Unit() {
        if (Chance(60)) return CityWord() + OneOf(kFirmWords) + OneOf(kFirmKinds);
        return CityWord() + OneOf(kInstitutes);
    }

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
    std::string name = m.Chance(40) ? m.CityWord() : "";
    if (m.Chance(50)) name += m.OneOf(kQualifiers);
    w.Set("JB01", name + m.OneOf(kSubjects) + m.OneOf(kEndings));
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
    // Most projects keep to plan; about one in ten is delayed.
    const std::string progress = PickerItems(Picker::JB71)[m.Weighted({81, 6, 10, 2, 1})];
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
    // The provincial money spent goes mostly to equipment and research work,
    // in shares that differ from project to project.
    const long usable = provincial * m.Between(40, 100) / 100;
    static const std::array<const char*, 4> kUses = {"JF311", "JF312", "JF313", "JF314"};
    std::array<long, 4> shares{m.Between(10, 60), m.Between(10, 50), m.Between(0, 20),
                               m.Between(0, 10)};
    const long share_sum = shares[0] + shares[1] + shares[2] + shares[3];
    long used = 0;
    for (std::size_t i = 0; i < kUses.size(); ++i) {
        const long amount = i + 1 < kUses.size() ? usable * shares[i] / share_sum : usable - used;
        w.Set(std::string(kUses[i]) + side, amount);
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
    const long granted_d = m.Between(0, static_cast<int>(design));
    w.Set("JG902", granted_i + granted_u + granted_d);
    w.Set("JG914", granted_i);
    w.Set("JG915", granted_u);
    w.Set("JG916", granted_d);
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
