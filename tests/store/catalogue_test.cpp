#include "store/catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "base/gbk.h"
#include "store/code_lists.h"
#include "store/province.h"

namespace zorbix::store {
namespace {

TEST(Catalogue, HasTheTableOrderOfTheExchangeFile) {
    const auto columns = Columns();
    ASSERT_EQ(columns.size(), 137u);
    EXPECT_EQ(columns[0].name, "XH");
    EXPECT_EQ(columns[1].name, "JB02");
    EXPECT_EQ(columns[2].name, "JB01");
    EXPECT_EQ(columns[3].name, "ZGDW");
    EXPECT_EQ(columns[9].name, "TBSJ");
    EXPECT_EQ(columns[133].name, "JDCG");
    EXPECT_EQ(columns[134].name, "BY1");
    EXPECT_EQ(columns[136].name, "BY3");
    for (int i = 0; i < 137; ++i) EXPECT_EQ(columns[i].index, i);
}

TEST(Catalogue, TheNumberColumnIsJB02) {
    EXPECT_EQ(ColumnIndex("JB02"), kNumberColumn);
    EXPECT_EQ(Columns()[kNumberColumn].kind, Kind::ProjectNumber);
}

TEST(Catalogue, NamesAreUniqueAndFound) {
    std::set<std::string> names;
    for (const Column& c : Columns()) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_EQ(FindColumn(c.name), c.index);
    }
    EXPECT_FALSE(FindColumn("JB99"));
}

TEST(Catalogue, PagesHoldTheirFieldsInBindingOrder) {
    EXPECT_EQ(PageColumns(Page::Cover).size(), 9u);
    EXPECT_EQ(PageColumns(Page::Cover)[0]->name, "JB01");
    EXPECT_EQ(PageColumns(Page::Cover)[1]->name, "JB02");
    EXPECT_EQ(PageColumns(Page::TableOne).size(), 48u);
    EXPECT_EQ(PageColumns(Page::TableOne)[7]->name, "JB411");
    EXPECT_EQ(PageColumns(Page::TableOne)[19]->name, "JB452");
    EXPECT_EQ(PageColumns(Page::TableTwo).size(), 32u);
    EXPECT_EQ(PageColumns(Page::TableTwo)[2]->name, "JF1701");
    EXPECT_EQ(PageColumns(Page::TableThree).size(), 18u);
    EXPECT_EQ(PageColumns(Page::TableFour).size(), 26u);
    EXPECT_EQ(PageColumns(Page::None).size(), 4u);
}

TEST(Catalogue, FieldsCarryTheFormsControlNames) {
    EXPECT_EQ(ColumnNamed("JB02").field, "TextJB02");
    EXPECT_EQ(ColumnNamed("JF1301").field, "TextJf1301");
    EXPECT_EQ(ColumnNamed("XH").field, "");
}

TEST(Catalogue, KeyClassesFollowTheSurveyForm) {
    EXPECT_EQ(ColumnNamed("JB02").keys, KeyClass::Digits);
    EXPECT_EQ(ColumnNamed("TBSJ").keys, KeyClass::Free);
    EXPECT_EQ(ColumnNamed("JB83").keys, KeyClass::Free);
    EXPECT_EQ(ColumnNamed("JB431").keys, KeyClass::Text);
    EXPECT_EQ(ColumnNamed("JF4002").keys, KeyClass::Text);
    EXPECT_EQ(ColumnNamed("JF4102").keys, KeyClass::DigitsNoEnter);
    EXPECT_EQ(ColumnNamed("JL420").keys, KeyClass::DigitsNoEnter);
    EXPECT_EQ(ColumnNamed("JG920").keys, KeyClass::DigitsNoEnter);
    EXPECT_EQ(ColumnNamed("JDCG").keys, KeyClass::QuoteSafe);
    EXPECT_EQ(ColumnNamed("JL300").max_bytes, 4);
}

TEST(CodeLists, EveryItemFitsItsFields) {
    for (const Column& c : Columns()) {
        if (c.picker == Picker::None) continue;
        for (const auto& item : PickerItems(c.picker))
            EXPECT_LE(base::GbkLength(PickedValue(c.picker, item)),
                      static_cast<std::size_t>(c.max_bytes))
                << c.name << " " << item;
    }
}

TEST(CodeLists, HaveTheSurveysCounts) {
    const std::pair<Picker, std::size_t> counts[] = {{Picker::JB22, 18},
                                                     {Picker::JB25_JB52_JB54, 11},
                                                     {Picker::JB26, 81},
                                                     {Picker::JB27, 6},
                                                     {Picker::JB61, 10},
                                                     {Picker::JB62, 13},
                                                     {Picker::JB64, 4},
                                                     {Picker::JB65, 13},
                                                     {Picker::JB71, 5},
                                                     {Picker::JB72, 11},
                                                     {Picker::JB81, 2},
                                                     {Picker::JB83, 6},
                                                     {Picker::JGCSCD, 4},
                                                     {Picker::Sex, 2},
                                                     {Picker::EducationalBackground, 5},
                                                     {Picker::Degree, 4},
                                                     {Picker::Title, 4},
                                                     {Picker::Type, 3}};
    for (auto [picker, n] : counts) EXPECT_EQ(PickerItems(picker).size(), n) << PickerName(picker);
    EXPECT_EQ(AllPickers().size(), 18u);
    EXPECT_EQ(PickerItems(Picker::JB72)[5], "42.贷款不落实 ");
    EXPECT_EQ(PickerItems(Picker::JB26)[18], "19洛安高新区科技局");
    EXPECT_EQ(PickerItems(Picker::JB26)[80], "99其他");
}

TEST(Province, RegionCodesShareTheProvincePrefix) {
    ASSERT_EQ(Regions().size(), 18u);
    EXPECT_EQ(Regions()[0].code, "960100");
    EXPECT_EQ(Regions()[16].code, "961700");
    EXPECT_EQ(Regions()[17].code, "960881");
    for (const auto& r : Regions()) EXPECT_EQ(r.code.substr(0, 2), kProvinceCode);
    EXPECT_EQ(PickedValue(Picker::JB22, PickerItems(Picker::JB22)[3]), "960400");
}

}  // namespace
}  // namespace zorbix::store
