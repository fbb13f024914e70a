#include "store/catalogue.h"

#include <array>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace zorbix::store {
namespace {

using K = Kind;

constexpr std::size_t kPageCount = static_cast<std::size_t>(Page::TableFour) + 1;
static_assert(static_cast<int>(Page::None) == 0, "pages index by_page from 0");
using Keys = KeyClass;
using P = Picker;

struct Catalogue {
    std::vector<Column> columns;
    std::unordered_map<std::string, int> by_name;
    // Indexed by Page, None to TableFour.
    std::array<std::vector<const Column*>, kPageCount> by_page;
};

// Fields whose focus hides an open picker although they own none.
bool HidesPickers(std::string_view name) {
    static const std::array<std::string_view, 29> kNames = {
        "JB21",  "JB23",  "JB24",  "JB411", "JB412", "JB413", "JB431", "JB432", "JB433", "JB481",
        "JB482", "JB483", "JB51",  "JB53",  "JG131", "JG102", "JG302", "JG402", "JG160", "JG170",
        "JG512", "JG522", "JG532", "JG542", "JG702", "JG802", "JG901", "JG902", "JDCG"};
    for (auto n : kNames)
        if (n == name) return true;
    return false;
}

// One column as the tables below name it; the builder adds its index, its
// field's control name and whether its focus hides the pickers.
struct Entry {
    Page page = Page::None;
    std::string name;
    std::string caption;
    int max_bytes = 0;  // GBK bytes; 0 = no limit
    Kind kind = Kind::Text;
    KeyClass keys = KeyClass::None;
    Picker picker = Picker::None;
    int indent = 0;
    int picker_row = 0;
};

class Builder {
public:
    explicit Builder(std::vector<Column>& out) : out_(out) {}

    void Add(Entry e) {
        Column c;
        c.index = static_cast<int>(out_.size());
        c.field = e.page == Page::None ? "" : "Text" + e.name;
        c.hides_pickers = HidesPickers(e.name);
        c.name = std::move(e.name);
        c.page = e.page;
        c.caption = std::move(e.caption);
        c.max_bytes = e.max_bytes;
        c.kind = e.kind;
        c.keys = e.keys;
        c.picker = e.picker;
        c.indent = e.indent;
        c.picker_row = e.picker_row;
        out_.push_back(std::move(c));
    }

private:
    std::vector<Column>& out_;
};

void AddCover(Builder& b) {
    const Page pg = Page::Cover;
    // JB01 and JB02 stand at indices 2 and 1; the rest of the cover follows.
    b.Add({.page = pg,
           .name = "ZGDW",
           .caption = "主管单位或推荐部门ZGDW",
           .max_bytes = 80,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "XMCDDW",
           .caption = "项目承担单位XMCDDW",
           .max_bytes = 80,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB03",
           .caption = "单位负责人(JH03)",
           .max_bytes = 10,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB04",
           .caption = "填表人(JH04)",
           .max_bytes = 10,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB05",
           .caption = "电话(JH05)",
           .max_bytes = 15,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB06",
           .caption = "与项目联系的E-mail(JH06)",
           .max_bytes = 25,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "TBSJ",
           .caption = "填报时间TBSJ",
           .max_bytes = 10,
           .kind = K::Date,
           .keys = Keys::Free});
}

void AddParticipants(Builder& b) {
    struct Stem {
        const char* stem;
        const char* caption;
        int max_bytes;
        Kind kind;
        Picker picker;
        bool sets_row;
    };
    static const std::array<Stem, 8> kStems = {{
        {"JB41", "姓名JH41", 10, K::Text, P::None, true},
        {"JB42", "性别JH42", 4, K::ListItem, P::Sex, true},
        {"JB43", "出生年JH43", 4, K::Year, P::None, false},
        {"JB44", "学历JH44", 8, K::ListItem, P::EducationalBackground, true},
        {"JB45", "学位JH45", 6, K::ListItem, P::Degree, true},
        {"JB46", "职称JH46", 6, K::ListItem, P::Title, true},
        {"JB47", "类别JH47", 14, K::ListItem, P::Type, true},
        {"JB48", "联系电话JH48", 15, K::Text, P::None, false},
    }};
    for (int person = 1; person <= 3; ++person)
        for (const Stem& s : kStems)
            b.Add({.page = Page::TableOne,
                   .name = s.stem + std::to_string(person),
                   .caption = s.caption,
                   .max_bytes = s.max_bytes,
                   .kind = s.kind,
                   .keys = Keys::Text,
                   .picker = s.picker,
                   .picker_row = s.sets_row ? person : 0});
}

void AddTableOne(Builder& b) {
    const Page pg = Page::TableOne;
    b.Add({.page = pg,
           .name = "JB21",
           .caption = "单位名称JH21",
           .max_bytes = 80,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB22",
           .caption = "行政区划代码编码JH22",
           .max_bytes = 6,
           .kind = K::RegionCode,
           .keys = Keys::Text,
           .picker = P::JB22});
    b.Add({.page = pg,
           .name = "JB23",
           .caption = "单位地址JH23",
           .max_bytes = 80,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB24",
           .caption = "邮政编码JH24",
           .max_bytes = 6,
           .kind = K::Text,
           .keys = Keys::Digits});
    b.Add({.page = pg,
           .name = "JB25",
           .caption = "单位性质JH25",
           .max_bytes = 50,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB25_JB52_JB54,
           .picker_row = 1});
    b.Add({.page = pg,
           .name = "JB26",
           .caption = "主管单位JH26",
           .max_bytes = 50,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB26});
    b.Add({.page = pg,
           .name = "JB27",
           .caption = "项目活动类型JH27",
           .max_bytes = 50,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB27});
    AddParticipants(b);
    b.Add({.page = pg,
           .name = "JB51",
           .caption = "协作单位名称JH51、53",
           .max_bytes = 80,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB52",
           .caption = "协作单位性质JB52、54",
           .max_bytes = 50,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB25_JB52_JB54,
           .picker_row = 2});
    b.Add({.page = pg,
           .name = "JB53",
           .caption = "协作单位名称JH51、53",
           .max_bytes = 80,
           .kind = K::Text,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB54",
           .caption = "协作单位性质JB52、54",
           .max_bytes = 50,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB25_JB52_JB54,
           .picker_row = 3});
    b.Add({.page = pg,
           .name = "JB61",
           .caption = "计划类别JH61",
           .max_bytes = 50,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB61});
    b.Add({.page = pg,
           .name = "JB62",
           .caption = "技术领域JH62",
           .max_bytes = 60,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB62});
    b.Add({.page = pg,
           .name = "JB63_1",
           .caption = "起始时间(年：XXXX)JH63_1",
           .max_bytes = 4,
           .kind = K::Year,
           .keys = Keys::Digits});
    b.Add({.page = pg,
           .name = "JB63_2",
           .caption = "终止时间(年：XXXX)JB63_2",
           .max_bytes = 4,
           .kind = K::Year,
           .keys = Keys::Digits});
    b.Add({.page = pg,
           .name = "JB64",
           .caption = "技术来源JH64",
           .max_bytes = 30,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB64});
    b.Add({.page = pg,
           .name = "JB65",
           .caption = "预期主要的成果形式JH65",
           .max_bytes = 40,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB65});
    b.Add({.page = pg,
           .name = "JB71",
           .caption = "项目进展情况JH71",
           .max_bytes = 20,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB71});
    b.Add({.page = pg,
           .name = "JB72_01",
           .caption = "原因JH72_01",
           .max_bytes = 20,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB72,
           .picker_row = 1});
    b.Add({.page = pg,
           .name = "JB72_02",
           .caption = "原因JH72_02",
           .max_bytes = 20,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB72,
           .picker_row = 2});
    b.Add({.page = pg,
           .name = "JB72_03",
           .caption = "原因JH72_03",
           .max_bytes = 20,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB72,
           .picker_row = 3});
    b.Add({.page = pg,
           .name = "JB81",
           .caption = "项目是否鉴定JH81",
           .max_bytes = 4,
           .kind = K::ListItem,
           .keys = Keys::Text,
           .picker = P::JB81});
    b.Add({.page = pg,
           .name = "JB82",
           .caption = "鉴定(验收)时间(年月XXXX-XX)JH82",
           .max_bytes = 7,
           .kind = K::YearMonth,
           .keys = Keys::Text});
    b.Add({.page = pg,
           .name = "JB83",
           .caption = "鉴定过的项目技术水平JH83",
           .max_bytes = 12,
           .kind = K::ListItem,
           .keys = Keys::Free,
           .picker = P::JB83});
}

void AddTableTwo(Builder& b) {
    struct Item {
        const char* code;
        const char* caption;
        int indent;
    };
    static const std::array<Item, 16> kItems = {{
        {"JF100", "一、项目资金收入合计JF100", 0},
        {"JF170", "中央拨款(千元)JF170", 4},
        {"JF110", "省科技拨款(千元)JF110", 4},
        {"JF120", "行业主管拨款(千元)JF120", 4},
        {"JF130", "地方拨款(千元)JF130", 4},
        {"JF140", "自筹资金(千元)JF140", 4},
        {"JF150", "贷款(千元)JF150", 4},
        {"JF160", "其他资金(千元)JF160", 4},
        {"JF200", "二、项目资金支出合计JF200", 0},
        {"JF300", "省科技拨款使用数(千元)JF300", 0},
        {"JF311", "设备购置费(千元)JF311", 4},
        {"JF312", "能源材料费(千元)JF312", 4},
        {"JF313", "试验外协费(千元)JF313", 4},
        {"JF314", "其它费用(千元)JF314", 4},
        {"JF400", "三、项目资金结余JF400", 0},
        {"JF410", "项目奖励(千元)JF410", 0},
    }};
    for (const Item& item : kItems) {
        const std::string code = item.code;
        for (const char* suffix : {"1", "2"}) {
            const std::string name = code + suffix;
            KeyClass keys = Keys::Digits;
            if (name == "JF4002") keys = Keys::Text;
            if (name == "JF4102") keys = Keys::DigitsNoEnter;
            b.Add({.page = Page::TableTwo,
                   .name = name,
                   .caption = item.caption,
                   .max_bytes = 7,
                   .kind = K::Number,
                   .keys = keys,
                   .indent = item.indent});
        }
    }
}

void AddTableThree(Builder& b) {
    struct Row {
        const char* name;
        const char* caption;
        int indent;
    };
    static const std::array<Row, 18> kRows = {{
        {"JL100", "一、当年参加项目研究工作人员总数(人)JL100", 0},
        {"JL110", "从事科技活动人员(人)JL110", 4},
        {"JL111", "从事研究与发展人员(人)JL111", 8},
        {"JL430", "从事生产、经营人员(人)JL430", 4},
        {"JL440", "其他人员(人)JL440", 4},
        {"JL120", "其中：高级职称人员数(人)JL120", 4},
        {"JL121", "高级职称人员中女性数(人)JL121", 14},
        {"JL130", "中级职称人员数(人)JL130", 10},
        {"JL131", "中级职称人员中女性数(人)JL131", 14},
        {"JL140", "其中：博士数(人)JL140", 4},
        {"JL150", "硕士数(人)JL150", 10},
        {"JL160", "其中：35岁以下人数(人)JL160", 4},
        {"JL190", "其中：留学归国人员(人)JL190", 4},
        {"JL200", "外省人员数(人)JL200", 10},
        {"JL300", "二、当年投入项目研究工作量(人月)JL300", 0},
        {"JL400", "三、当年项目培养人才数(人)JL400", 0},
        {"JL410", "取得博士学位人数(人)JL410", 4},
        {"JL420", "取得硕士学位人数(人)JL420", 4},
    }};
    for (const Row& r : kRows) {
        const std::string name = r.name;
        const int max_bytes = name == "JL300" ? 4 : 3;
        const KeyClass keys = name == "JL420" ? Keys::DigitsNoEnter : Keys::Digits;
        b.Add({.page = Page::TableThree,
               .name = name,
               .caption = r.caption,
               .max_bytes = max_bytes,
               .kind = K::Number,
               .keys = keys,
               .indent = r.indent});
    }
}

void AddTableFour(Builder& b) {
    struct Row {
        const char* name;
        const char* caption;
        int indent;
        int max_bytes;
    };
    static const std::array<Row, 24> kRows = {{
        {"JG131", "新增产值(千元)JG131", 0, 7},
        {"JG102", "其中：出口创汇(千美元)JG102", 4, 7},
        {"JG302", "净利润总额(千元)JG302", 0, 7},
        {"JG402", "实交税金总额(千元)JG402", 0, 7},
        {"JG160", "农业项目增产总量(千斤)JG160", 0, 7},
        {"JG170", "农业项目增产品种(个)JG170", 0, 6},
        {"JGCSCD", "", 0, 0},  // the maturity code, added separately below
        {"JG512", "成果转让数(项)JG512", 0, 3},
        {"JG522", "成果转让获得收入(千元)JG522", 0, 7},
        {"JG532", "获省部级以上奖励(项)JG532", 0, 3},
        {"JG542", "新产品、新材料、新工艺、新装置、新软件(项)JG542", 0, 3},
        {"JG702", "发表科技论文(篇)JG702", 0, 3},
        {"JG710", "其中：国内发表(篇)JG710", 4, 3},
        {"JG711", "国内核心期刊(篇)JG711", 14, 3},
        {"JG720", "其中：国外发表(篇)JG720", 4, 3},
        {"JG802", "出版科技著作(万字)JG802", 0, 3},
        {"JG901", "专利申请数(项)JG901", 0, 3},
        {"JG911", "其中：发明专利申请数(项)JG911", 4, 3},
        {"JG912", "实用新型专利申请数(项)JG912", 10, 3},
        {"JG913", "外观设计专利申请数(项)JG913", 10, 3},
        {"JG902", "专利授权数(项)JG902", 0, 3},
        {"JG914", "其中：发明专利授权数(项)JG914", 4, 3},
        {"JG915", "实用新型专利授权数(项)JG915", 10, 3},
        {"JG916", "外观设计专利授权数(项)JG916", 10, 3},
    }};
    const Page pg = Page::TableFour;
    for (const Row& r : kRows) {
        const std::string name = r.name;
        if (name == "JGCSCD") {
            b.Add({.page = pg,
                   .name = name,
                   .caption = "成果成熟程度JGCSCD  1样机  2中试  3工业化示范   4工业化生产",
                   .max_bytes = 14,
                   .kind = K::ListItem,
                   .keys = Keys::Text,
                   .picker = P::JGCSCD});
            continue;
        }
        b.Add({.page = pg,
               .name = name,
               .caption = r.caption,
               .max_bytes = r.max_bytes,
               .kind = K::Number,
               .keys = Keys::Digits,
               .indent = r.indent});
    }
    b.Add({.page = pg,
           .name = "JG920",
           .caption = "其中：国外授权数(项)JG920",
           .max_bytes = 3,
           .kind = K::Number,
           .keys = Keys::DigitsNoEnter,
           .indent = 4});
    b.Add({.page = pg,
           .name = "JDCG",
           .caption = "阶段成果简单描述  300字以内",
           .max_bytes = 0,
           .kind = K::MultiLineText,
           .keys = Keys::QuoteSafe});
}

Catalogue Build() {
    Catalogue cat;
    cat.columns.reserve(kColumnCount);
    Builder b(cat.columns);
    b.Add({.page = Page::None,
           .name = "XH",
           .caption = "序号",
           .max_bytes = 0,
           .kind = K::Text,
           .keys = Keys::None});
    b.Add({.page = Page::Cover,
           .name = "JB02",
           .caption = "项目编号(JH02)",
           .max_bytes = 12,
           .kind = K::ProjectNumber,
           .keys = Keys::Digits});
    b.Add({.page = Page::Cover,
           .name = "JB01",
           .caption = "项目名称(JH01)",
           .max_bytes = 80,
           .kind = K::Text,
           .keys = Keys::Text});
    AddCover(b);
    AddTableOne(b);
    AddTableTwo(b);
    AddTableThree(b);
    AddTableFour(b);
    for (const char* spare : {"BY1", "BY2", "BY3"})
        b.Add({.page = Page::None,
               .name = spare,
               .caption = "备用",
               .max_bytes = 0,
               .kind = K::Text,
               .keys = Keys::None});

    for (const Column& c : cat.columns) cat.by_name.emplace(c.name, c.index);
    // The field of JF1301 carries the original form's spelling.
    cat.columns[cat.by_name.at("JF1301")].field = "TextJf1301";

    // Binding order of the cover puts JB01 before JB02.
    auto& cover = cat.by_page[static_cast<int>(Page::Cover)];
    cover.push_back(&cat.columns[2]);
    cover.push_back(&cat.columns[1]);
    for (const Column& c : cat.columns)
        if (c.page != Page::Cover || c.index > 2)
            cat.by_page[static_cast<int>(c.page)].push_back(&c);
    return cat;
}

const Catalogue& Instance() {
    static const Catalogue catalogue = Build();
    return catalogue;
}

}  // namespace

std::span<const Column> Columns() { return Instance().columns; }

std::optional<int> FindColumn(std::string_view name) {
    const auto& map = Instance().by_name;
    auto it = map.find(std::string(name));
    if (it == map.end()) return std::nullopt;
    return it->second;
}

const Column& ColumnNamed(std::string_view name) {
    auto index = FindColumn(name);
    if (!index) throw std::out_of_range("no column named " + std::string(name));
    return Instance().columns[*index];
}

int ColumnIndex(std::string_view name) { return ColumnNamed(name).index; }

std::span<const Column* const> PageColumns(Page page) {
    return Instance().by_page[static_cast<int>(page)];
}

std::string_view PageCaption(Page page) {
    switch (page) {
        case Page::Cover: return "封面";
        case Page::TableOne: return "表一、概况";
        case Page::TableTwo: return "表二、项目资金落实及支出情况";
        case Page::TableThree: return "表三、本年度项目实际参加人员";
        case Page::TableFour: return "表四、本年度项目效益及成果";
        case Page::None: break;
    }
    return "";
}

}  // namespace zorbix::store
