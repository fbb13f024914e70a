#include "store/code_lists.h"

#include <array>
#include <map>
#include <vector>

#include "store/province.h"

namespace zorbix::store {
namespace {

using Items = std::vector<std::string>;

Items RegionItems() {
    Items items;
    for (const Region& r : Regions()) items.push_back(r.code + r.name);
    return items;
}

Items DepartmentItems() {
    Items items(LocalDepartments().begin(), LocalDepartments().end());
    const Items provincial = {"27省政府办公厅",
                              "28省发展和改革委员会",
                              "29省教育厅",
                              "30省科学技术厅",
                              "31省工业和信息化厅",
                              "32省民族事务委员会",
                              "33省公安厅",
                              "34省监察院",
                              "35省民政厅",
                              "36省司法厅",
                              "37省财政厅",
                              "38省人力资源和社会保障厅",
                              "39省国土资源厅",
                              "40省环境保护厅",
                              "41省住房和城乡建设厅",
                              "42省交通运输厅",
                              "43省水利厅",
                              "44省农业厅",
                              "45省林业厅",
                              "46省商务厅",
                              "47省文化厅",
                              "48省卫生厅",
                              "49省人口和计划生育委员会",
                              "50省审计厅",
                              "51省政府外事侨务办公室",
                              "52省政府国有资产监督管理委员会",
                              "53省地方税务局",
                              "54省工商行政管理局",
                              "55省质量技术监督局",
                              "56省广播电影电视局",
                              "57省新闻出版局",
                              "58省体育局",
                              "59省统计局",
                              "60省旅游局",
                              "61省粮食局",
                              "62省政府法制办公室",
                              "63省安全生产监督管理局",
                              "64省委省政府机关事务管理局",
                              "65省人民防空办公室",
                              "66省扶贫开发办公室",
                              "67省政府金融服务办公室",
                              "68省政府研究室",
                              "69省能源规划建设局",
                              "70省监狱管理局",
                              "71省公务员局",
                              "72省外国专家局",
                              "73省食品药品监督管理局",
                              "74省文物局",
                              "75省畜牧局",
                              "76省国防科学技术工业局",
                              "77省国家税务局",
                              "78省通信管理局",
                              "79省科学院",
                              "80省农科院",
                              "99其他"};
    items.insert(items.end(), provincial.begin(), provincial.end());
    return items;
}

std::map<Picker, Items> BuildLists() {
    return {
        {Picker::JB22, RegionItems()},
        {Picker::JB25_JB52_JB54,
         {"01.大专院校", "02.转制为企业的科研院所", "03.事业型研究单位", "04.其他事业单位",
          "05.政府机关", "06.私营企业", "07.股份合作企业", "08.集体所有制企业", "09.国有企业",
          "10.群众团体", "99.其他"}},
        {Picker::JB26, DepartmentItems()},
        {Picker::JB27,
         {"1.基础研究", "2.应用研究", "3.试验发展", "4.研究与试验发展成果应用", "5.科技服务",
          "6.生产性活动"}},
        {Picker::JB61,
         {"1100.重大科技专项", "2101.重大科技攻关", "2102.重点科技攻关", "2105.高新技术产业化项目",
          "2201-2203.科技成果转化", "2300.基础与前沿技术研究", "2400.软科学研究",
          "4100.杰出青年科学基金", "4200.杰出人才创新基金", "5100.科技富民强县专项"}},
        {Picker::JB62,
         {"11.能源", "12.资源", "13.环境保护", "14.农业",
          "15.支柱产业（机械、汽车及零部件、冶金、化工、食品、纺织）", "16.新材料", "17.生物技术",
          "18.制造业", "19.信息产业与现代服务业", "20.交通运输技术领域", "21.人口与健康",
          "22.城镇化与城市发展", "23.公共安全与其他社会事业"}},
        {Picker::JB64, {"1.国外技术", "2.引进技术本单位消化创新", "3.国内技术", "4.自有技术"}},
        {Picker::JB65,
         {"01.论文论著", "02.研究(咨询)报告", "03.新产品(或农业新品种)", "04.新装置", "05.新材料",
          "06.新工艺(或新方法、新模式)", "07.计算机软件", "08.人才培养", "09.技术标准",
          "10.基地建设", "11.专利", "12.商标", "99.其它"}},
        {Picker::JB71, {"1.按计划进度进行", "2.进度超前", "3.拖延", "4.停顿", "5.申请撤销"}},
        {Picker::JB72,
         {"00.技术变化", "10.计划性调整", "20.设备材料不落实", "30.协作关系变化", "41.拨款不到位",
          "42.贷款不落实 ", "50.市场变化", "60.技术骨干变动", "70.立题不当", "80.不可抗拒因素",
          "90.其它原因"}},
        {Picker::JB81, {"1.是", "2.否"}},
        {Picker::JB83,
         {"1.国际领先", "2.国际先进", "3.国内领先", "4.国内先进", "5.省内领先", "6.省内先进"}},
        {Picker::JGCSCD, {"1.样机", "2.中试", "3.工业化示范", "4.工业化生产"}},
        {Picker::Sex, {"1.男", "2.女"}},
        {Picker::EducationalBackground, {"1.研究生", "2.大学", "3.大专", "4.中专", "5.其他"}},
        {Picker::Degree, {"1.博士", "2.硕士", "3.学士", "9.其他"}},
        {Picker::Title, {"1.高级", "2.中级", "3.初级", "9.其他"}},
        {Picker::Type, {"1.留学归国人员", "2.省外人员", "3.其他"}},
    };
}

const std::map<Picker, Items>& Lists() {
    static const std::map<Picker, Items> lists = BuildLists();
    return lists;
}

}  // namespace

std::span<const Picker> AllPickers() {
    static constexpr std::array<Picker, kPickerCount> kOrder = {Picker::EducationalBackground,
                                                                Picker::Degree,
                                                                Picker::Sex,
                                                                Picker::JB62,
                                                                Picker::JB26,
                                                                Picker::JB64,
                                                                Picker::JB27,
                                                                Picker::JB65,
                                                                Picker::JB22,
                                                                Picker::Title,
                                                                Picker::JB71,
                                                                Picker::Type,
                                                                Picker::JB72,
                                                                Picker::JB25_JB52_JB54,
                                                                Picker::JB81,
                                                                Picker::JB61,
                                                                Picker::JB83,
                                                                Picker::JGCSCD};
    return kOrder;
}

std::string_view PickerName(Picker picker) {
    switch (picker) {
        case Picker::JB22: return "ComboJB22";
        case Picker::JB25_JB52_JB54: return "ComboJB25_JB52_JB54";
        case Picker::JB26: return "ComboJB26";
        case Picker::JB27: return "ComboJB27";
        case Picker::JB61: return "ComboJB61";
        case Picker::JB62: return "ComboJB62";
        case Picker::JB64: return "ComboJB64";
        case Picker::JB65: return "ComboJB65";
        case Picker::JB71: return "ComboJB71";
        case Picker::JB72: return "ComboJB72";
        case Picker::JB81: return "ComboJB81";
        case Picker::JB83: return "ComboJB83";
        case Picker::JGCSCD: return "ComboJGCSCD";
        case Picker::Sex: return "ComboSex";
        case Picker::EducationalBackground: return "ComboEducational_Background";
        case Picker::Degree: return "ComboDegree";
        case Picker::Title: return "ComboTitle";
        case Picker::Type: return "ComboType";
        case Picker::None: break;
    }
    return "";
}

std::span<const std::string> PickerItems(Picker picker) {
    auto it = Lists().find(picker);
    if (it == Lists().end()) return {};
    return it->second;
}

std::string PickedValue(Picker picker, std::string_view item) {
    if (picker == Picker::JB22) return std::string(item.substr(0, 6));
    return std::string(item);
}

bool IsSharedPicker(Picker picker) {
    switch (picker) {
        case Picker::JB25_JB52_JB54:
        case Picker::JB72:
        case Picker::Sex:
        case Picker::EducationalBackground:
        case Picker::Degree:
        case Picker::Title:
        case Picker::Type: return true;
        default: return false;
    }
}

}  // namespace zorbix::store
