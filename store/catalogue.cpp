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

// The catalogue, one row per column in table order (the order of every
// exchange record): page, name, limit in GBK bytes (0: none), kind, keys,
// picker, blanks before the caption, the picker row a focus on the field
// sets (0: none) and the caption. JB02 and JB01 stand at indices 1 and 2,
// before the rest of the cover; the funds of table two come in pairs,
// suffix 1 the cumulative amount, 2 this year's. Build() adds each column's
// index, its field's control name and whether its focus hides the pickers.
struct Row {
    Page page;
    const char* name;
    int max_bytes;
    Kind kind;
    KeyClass keys;
    Picker picker;
    int indent;
    int picker_row;
    const char* caption;
};

// clang-format off
constexpr Row kRows[] = {
    {Page::None,       "XH",      0,  K::Text,          Keys::None,          P::None,                  0,  0, "序号"},
    {Page::Cover,      "JB02",    12, K::ProjectNumber, Keys::Digits,        P::None,                  0,  0, "项目编号(JH02)"},
    {Page::Cover,      "JB01",    80, K::Text,          Keys::Text,          P::None,                  0,  0, "项目名称(JH01)"},
    {Page::Cover,      "ZGDW",    80, K::Text,          Keys::Text,          P::None,                  0,  0, "主管单位或推荐部门ZGDW"},
    {Page::Cover,      "XMCDDW",  80, K::Text,          Keys::Text,          P::None,                  0,  0, "项目承担单位XMCDDW"},
    {Page::Cover,      "JB03",    10, K::Text,          Keys::Text,          P::None,                  0,  0, "单位负责人(JH03)"},
    {Page::Cover,      "JB04",    10, K::Text,          Keys::Text,          P::None,                  0,  0, "填表人(JH04)"},
    {Page::Cover,      "JB05",    15, K::Text,          Keys::Text,          P::None,                  0,  0, "电话(JH05)"},
    {Page::Cover,      "JB06",    25, K::Text,          Keys::Text,          P::None,                  0,  0, "与项目联系的E-mail(JH06)"},
    {Page::Cover,      "TBSJ",    10, K::Date,          Keys::Free,          P::None,                  0,  0, "填报时间TBSJ"},
    {Page::TableOne,   "JB21",    80, K::Text,          Keys::Text,          P::None,                  0,  0, "单位名称JH21"},
    {Page::TableOne,   "JB22",    6,  K::RegionCode,    Keys::Text,          P::JB22,                  0,  0, "行政区划代码编码JH22"},
    {Page::TableOne,   "JB23",    80, K::Text,          Keys::Text,          P::None,                  0,  0, "单位地址JH23"},
    {Page::TableOne,   "JB24",    6,  K::Text,          Keys::Digits,        P::None,                  0,  0, "邮政编码JH24"},
    {Page::TableOne,   "JB25",    50, K::ListItem,      Keys::Text,          P::JB25_JB52_JB54,        0,  1, "单位性质JH25"},
    {Page::TableOne,   "JB26",    50, K::ListItem,      Keys::Text,          P::JB26,                  0,  0, "主管单位JH26"},
    {Page::TableOne,   "JB27",    50, K::ListItem,      Keys::Text,          P::JB27,                  0,  0, "项目活动类型JH27"},
    {Page::TableOne,   "JB411",   10, K::Text,          Keys::Text,          P::None,                  0,  1, "姓名JH41"},
    {Page::TableOne,   "JB421",   4,  K::ListItem,      Keys::Text,          P::Sex,                   0,  1, "性别JH42"},
    {Page::TableOne,   "JB431",   4,  K::Year,          Keys::Text,          P::None,                  0,  0, "出生年JH43"},
    {Page::TableOne,   "JB441",   8,  K::ListItem,      Keys::Text,          P::EducationalBackground, 0,  1, "学历JH44"},
    {Page::TableOne,   "JB451",   6,  K::ListItem,      Keys::Text,          P::Degree,                0,  1, "学位JH45"},
    {Page::TableOne,   "JB461",   6,  K::ListItem,      Keys::Text,          P::Title,                 0,  1, "职称JH46"},
    {Page::TableOne,   "JB471",   14, K::ListItem,      Keys::Text,          P::Type,                  0,  1, "类别JH47"},
    {Page::TableOne,   "JB481",   15, K::Text,          Keys::Text,          P::None,                  0,  0, "联系电话JH48"},
    {Page::TableOne,   "JB412",   10, K::Text,          Keys::Text,          P::None,                  0,  2, "姓名JH41"},
    {Page::TableOne,   "JB422",   4,  K::ListItem,      Keys::Text,          P::Sex,                   0,  2, "性别JH42"},
    {Page::TableOne,   "JB432",   4,  K::Year,          Keys::Text,          P::None,                  0,  0, "出生年JH43"},
    {Page::TableOne,   "JB442",   8,  K::ListItem,      Keys::Text,          P::EducationalBackground, 0,  2, "学历JH44"},
    {Page::TableOne,   "JB452",   6,  K::ListItem,      Keys::Text,          P::Degree,                0,  2, "学位JH45"},
    {Page::TableOne,   "JB462",   6,  K::ListItem,      Keys::Text,          P::Title,                 0,  2, "职称JH46"},
    {Page::TableOne,   "JB472",   14, K::ListItem,      Keys::Text,          P::Type,                  0,  2, "类别JH47"},
    {Page::TableOne,   "JB482",   15, K::Text,          Keys::Text,          P::None,                  0,  0, "联系电话JH48"},
    {Page::TableOne,   "JB413",   10, K::Text,          Keys::Text,          P::None,                  0,  3, "姓名JH41"},
    {Page::TableOne,   "JB423",   4,  K::ListItem,      Keys::Text,          P::Sex,                   0,  3, "性别JH42"},
    {Page::TableOne,   "JB433",   4,  K::Year,          Keys::Text,          P::None,                  0,  0, "出生年JH43"},
    {Page::TableOne,   "JB443",   8,  K::ListItem,      Keys::Text,          P::EducationalBackground, 0,  3, "学历JH44"},
    {Page::TableOne,   "JB453",   6,  K::ListItem,      Keys::Text,          P::Degree,                0,  3, "学位JH45"},
    {Page::TableOne,   "JB463",   6,  K::ListItem,      Keys::Text,          P::Title,                 0,  3, "职称JH46"},
    {Page::TableOne,   "JB473",   14, K::ListItem,      Keys::Text,          P::Type,                  0,  3, "类别JH47"},
    {Page::TableOne,   "JB483",   15, K::Text,          Keys::Text,          P::None,                  0,  0, "联系电话JH48"},
    {Page::TableOne,   "JB51",    80, K::Text,          Keys::Text,          P::None,                  0,  0, "协作单位名称JH51、53"},
    {Page::TableOne,   "JB52",    50, K::ListItem,      Keys::Text,          P::JB25_JB52_JB54,        0,  2, "协作单位性质JB52、54"},
    {Page::TableOne,   "JB53",    80, K::Text,          Keys::Text,          P::None,                  0,  0, "协作单位名称JH51、53"},
    {Page::TableOne,   "JB54",    50, K::ListItem,      Keys::Text,          P::JB25_JB52_JB54,        0,  3, "协作单位性质JB52、54"},
    {Page::TableOne,   "JB61",    50, K::ListItem,      Keys::Text,          P::JB61,                  0,  0, "计划类别JH61"},
    {Page::TableOne,   "JB62",    60, K::ListItem,      Keys::Text,          P::JB62,                  0,  0, "技术领域JH62"},
    {Page::TableOne,   "JB63_1",  4,  K::Year,          Keys::Digits,        P::None,                  0,  0, "起始时间(年：XXXX)JH63_1"},
    {Page::TableOne,   "JB63_2",  4,  K::Year,          Keys::Digits,        P::None,                  0,  0, "终止时间(年：XXXX)JB63_2"},
    {Page::TableOne,   "JB64",    30, K::ListItem,      Keys::Text,          P::JB64,                  0,  0, "技术来源JH64"},
    {Page::TableOne,   "JB65",    40, K::ListItem,      Keys::Text,          P::JB65,                  0,  0, "预期主要的成果形式JH65"},
    {Page::TableOne,   "JB71",    20, K::ListItem,      Keys::Text,          P::JB71,                  0,  0, "项目进展情况JH71"},
    {Page::TableOne,   "JB72_01", 20, K::ListItem,      Keys::Text,          P::JB72,                  0,  1, "原因JH72_01"},
    {Page::TableOne,   "JB72_02", 20, K::ListItem,      Keys::Text,          P::JB72,                  0,  2, "原因JH72_02"},
    {Page::TableOne,   "JB72_03", 20, K::ListItem,      Keys::Text,          P::JB72,                  0,  3, "原因JH72_03"},
    {Page::TableOne,   "JB81",    4,  K::ListItem,      Keys::Text,          P::JB81,                  0,  0, "项目是否鉴定JH81"},
    {Page::TableOne,   "JB82",    7,  K::YearMonth,     Keys::Text,          P::None,                  0,  0, "鉴定(验收)时间(年月XXXX-XX)JH82"},
    {Page::TableOne,   "JB83",    12, K::ListItem,      Keys::Free,          P::JB83,                  0,  0, "鉴定过的项目技术水平JH83"},
    {Page::TableTwo,   "JF1001",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "一、项目资金收入合计JF100"},
    {Page::TableTwo,   "JF1002",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "一、项目资金收入合计JF100"},
    {Page::TableTwo,   "JF1701",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "中央拨款(千元)JF170"},
    {Page::TableTwo,   "JF1702",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "中央拨款(千元)JF170"},
    {Page::TableTwo,   "JF1101",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "省科技拨款(千元)JF110"},
    {Page::TableTwo,   "JF1102",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "省科技拨款(千元)JF110"},
    {Page::TableTwo,   "JF1201",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "行业主管拨款(千元)JF120"},
    {Page::TableTwo,   "JF1202",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "行业主管拨款(千元)JF120"},
    {Page::TableTwo,   "JF1301",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "地方拨款(千元)JF130"},
    {Page::TableTwo,   "JF1302",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "地方拨款(千元)JF130"},
    {Page::TableTwo,   "JF1401",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "自筹资金(千元)JF140"},
    {Page::TableTwo,   "JF1402",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "自筹资金(千元)JF140"},
    {Page::TableTwo,   "JF1501",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "贷款(千元)JF150"},
    {Page::TableTwo,   "JF1502",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "贷款(千元)JF150"},
    {Page::TableTwo,   "JF1601",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其他资金(千元)JF160"},
    {Page::TableTwo,   "JF1602",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其他资金(千元)JF160"},
    {Page::TableTwo,   "JF2001",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "二、项目资金支出合计JF200"},
    {Page::TableTwo,   "JF2002",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "二、项目资金支出合计JF200"},
    {Page::TableTwo,   "JF3001",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "省科技拨款使用数(千元)JF300"},
    {Page::TableTwo,   "JF3002",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "省科技拨款使用数(千元)JF300"},
    {Page::TableTwo,   "JF3111",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "设备购置费(千元)JF311"},
    {Page::TableTwo,   "JF3112",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "设备购置费(千元)JF311"},
    {Page::TableTwo,   "JF3121",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "能源材料费(千元)JF312"},
    {Page::TableTwo,   "JF3122",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "能源材料费(千元)JF312"},
    {Page::TableTwo,   "JF3131",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "试验外协费(千元)JF313"},
    {Page::TableTwo,   "JF3132",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "试验外协费(千元)JF313"},
    {Page::TableTwo,   "JF3141",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其它费用(千元)JF314"},
    {Page::TableTwo,   "JF3142",  7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其它费用(千元)JF314"},
    {Page::TableTwo,   "JF4001",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "三、项目资金结余JF400"},
    {Page::TableTwo,   "JF4002",  7,  K::Number,        Keys::Text,          P::None,                  0,  0, "三、项目资金结余JF400"},
    {Page::TableTwo,   "JF4101",  7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "项目奖励(千元)JF410"},
    {Page::TableTwo,   "JF4102",  7,  K::Number,        Keys::DigitsNoEnter, P::None,                  0,  0, "项目奖励(千元)JF410"},
    {Page::TableThree, "JL100",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "一、当年参加项目研究工作人员总数(人)JL100"},
    {Page::TableThree, "JL110",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "从事科技活动人员(人)JL110"},
    {Page::TableThree, "JL111",   3,  K::Number,        Keys::Digits,        P::None,                  8,  0, "从事研究与发展人员(人)JL111"},
    {Page::TableThree, "JL430",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "从事生产、经营人员(人)JL430"},
    {Page::TableThree, "JL440",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其他人员(人)JL440"},
    {Page::TableThree, "JL120",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：高级职称人员数(人)JL120"},
    {Page::TableThree, "JL121",   3,  K::Number,        Keys::Digits,        P::None,                  14, 0, "高级职称人员中女性数(人)JL121"},
    {Page::TableThree, "JL130",   3,  K::Number,        Keys::Digits,        P::None,                  10, 0, "中级职称人员数(人)JL130"},
    {Page::TableThree, "JL131",   3,  K::Number,        Keys::Digits,        P::None,                  14, 0, "中级职称人员中女性数(人)JL131"},
    {Page::TableThree, "JL140",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：博士数(人)JL140"},
    {Page::TableThree, "JL150",   3,  K::Number,        Keys::Digits,        P::None,                  10, 0, "硕士数(人)JL150"},
    {Page::TableThree, "JL160",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：35岁以下人数(人)JL160"},
    {Page::TableThree, "JL190",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：留学归国人员(人)JL190"},
    {Page::TableThree, "JL200",   3,  K::Number,        Keys::Digits,        P::None,                  10, 0, "外省人员数(人)JL200"},
    {Page::TableThree, "JL300",   4,  K::Number,        Keys::Digits,        P::None,                  0,  0, "二、当年投入项目研究工作量(人月)JL300"},
    {Page::TableThree, "JL400",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "三、当年项目培养人才数(人)JL400"},
    {Page::TableThree, "JL410",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "取得博士学位人数(人)JL410"},
    {Page::TableThree, "JL420",   3,  K::Number,        Keys::DigitsNoEnter, P::None,                  4,  0, "取得硕士学位人数(人)JL420"},
    {Page::TableFour,  "JG131",   7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "新增产值(千元)JG131"},
    {Page::TableFour,  "JG102",   7,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：出口创汇(千美元)JG102"},
    {Page::TableFour,  "JG302",   7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "净利润总额(千元)JG302"},
    {Page::TableFour,  "JG402",   7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "实交税金总额(千元)JG402"},
    {Page::TableFour,  "JG160",   7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "农业项目增产总量(千斤)JG160"},
    {Page::TableFour,  "JG170",   6,  K::Number,        Keys::Digits,        P::None,                  0,  0, "农业项目增产品种(个)JG170"},
    {Page::TableFour,  "JGCSCD",  14, K::ListItem,      Keys::Text,          P::JGCSCD,                0,  0, "成果成熟程度JGCSCD  1样机  2中试  3工业化示范   4工业化生产"},
    {Page::TableFour,  "JG512",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "成果转让数(项)JG512"},
    {Page::TableFour,  "JG522",   7,  K::Number,        Keys::Digits,        P::None,                  0,  0, "成果转让获得收入(千元)JG522"},
    {Page::TableFour,  "JG532",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "获省部级以上奖励(项)JG532"},
    {Page::TableFour,  "JG542",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "新产品、新材料、新工艺、新装置、新软件(项)JG542"},
    {Page::TableFour,  "JG702",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "发表科技论文(篇)JG702"},
    {Page::TableFour,  "JG710",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：国内发表(篇)JG710"},
    {Page::TableFour,  "JG711",   3,  K::Number,        Keys::Digits,        P::None,                  14, 0, "国内核心期刊(篇)JG711"},
    {Page::TableFour,  "JG720",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：国外发表(篇)JG720"},
    {Page::TableFour,  "JG802",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "出版科技著作(万字)JG802"},
    {Page::TableFour,  "JG901",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "专利申请数(项)JG901"},
    {Page::TableFour,  "JG911",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：发明专利申请数(项)JG911"},
    {Page::TableFour,  "JG912",   3,  K::Number,        Keys::Digits,        P::None,                  10, 0, "实用新型专利申请数(项)JG912"},
    {Page::TableFour,  "JG913",   3,  K::Number,        Keys::Digits,        P::None,                  10, 0, "外观设计专利申请数(项)JG913"},
    {Page::TableFour,  "JG902",   3,  K::Number,        Keys::Digits,        P::None,                  0,  0, "专利授权数(项)JG902"},
    {Page::TableFour,  "JG914",   3,  K::Number,        Keys::Digits,        P::None,                  4,  0, "其中：发明专利授权数(项)JG914"},
    {Page::TableFour,  "JG915",   3,  K::Number,        Keys::Digits,        P::None,                  10, 0, "实用新型专利授权数(项)JG915"},
    {Page::TableFour,  "JG916",   3,  K::Number,        Keys::Digits,        P::None,                  10, 0, "外观设计专利授权数(项)JG916"},
    {Page::TableFour,  "JG920",   3,  K::Number,        Keys::DigitsNoEnter, P::None,                  4,  0, "其中：国外授权数(项)JG920"},
    {Page::TableFour,  "JDCG",    0,  K::MultiLineText, Keys::QuoteSafe,     P::None,                  0,  0, "阶段成果简单描述  300字以内"},
    {Page::None,       "BY1",     0,  K::Text,          Keys::None,          P::None,                  0,  0, "备用"},
    {Page::None,       "BY2",     0,  K::Text,          Keys::None,          P::None,                  0,  0, "备用"},
    {Page::None,       "BY3",     0,  K::Text,          Keys::None,          P::None,                  0,  0, "备用"},
};
// clang-format on
static_assert(std::size(kRows) == kColumnCount, "one row per column");

Catalogue Build() {
    Catalogue cat;
    cat.columns.reserve(kColumnCount);
    for (const Row& row : kRows) {
        Column c;
        c.index = static_cast<int>(cat.columns.size());
        c.name = row.name;
        c.page = row.page;
        c.field = row.page == Page::None ? "" : "Text" + c.name;
        c.caption = row.caption;
        c.max_bytes = row.max_bytes;
        c.kind = row.kind;
        c.keys = row.keys;
        c.picker = row.picker;
        c.indent = row.indent;
        c.picker_row = row.picker_row;
        c.hides_pickers = HidesPickers(c.name);
        cat.columns.push_back(std::move(c));
    }

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
