#include "forms/page_layout.h"

#include <algorithm>
#include <array>

namespace zorbix::forms {
namespace {

using store::Page;

constexpr int kRow = 240;  // one row of fields

void Field(PageLayout& l, const std::string& column, TwipBox box) {
    l.fields.push_back({column, box});
}

void Caption(PageLayout& l, const std::string& column, TwipBox box, bool bold = false) {
    l.captions.push_back({column, box, bold, false});
}

// A caption and its field on one row.
void Pair(PageLayout& l, const std::string& column, int top, int caption_left, int caption_width,
          int field_left, int field_width) {
    Caption(l, column, {caption_left, top, caption_width, kRow});
    Field(l, column, {field_left, top, field_width, kRow});
}

PageLayout Cover() {
    PageLayout l;
    l.notes.push_back({"LabelCoverTitle",
                       "Qorvath省科技计划项目\n执行情况报表\n",
                       {2400, 840, 5655, 1455},
                       NoteStyle::Title});
    int top = 2400;
    for (const store::Column* c : PageColumns(Page::Cover)) {
        Pair(l, c->name, top, 720, 3375, 4080, 5055);
        top += kRow;
    }
    return l;
}

// The participant grid: column left edges and widths, by stem JB41..JB48.
constexpr std::array<std::array<int, 2>, 8> kGridColumns = {{
    {900, 1275},
    {2205, 855},
    {3090, 1020},
    {4140, 975},
    {5145, 855},
    {6030, 855},
    {6915, 1290},
    {8235, 1425},
}};

void TableOneUnit(PageLayout& l) {
    const std::array<const char*, 7> unit = {"JB21", "JB22", "JB23", "JB24",
                                             "JB25", "JB26", "JB27"};
    for (int i = 0; i < 7; ++i) {
        const int top = 360 + (i / 2) * kRow;
        if (i % 2 == 0)
            Pair(l, unit[i], top, 360, 1500, 1920, 3240);
        else
            Pair(l, unit[i], top, 5280, 1920, 7260, 2400);
    }
}

void TableOneParticipants(PageLayout& l) {
    l.notes.push_back(
        {"LabelParticipants", "    项目参加人员", {360, 1440, 495, 960}, NoteStyle::Side});
    for (int stem = 0; stem < 8; ++stem) {
        const auto [left, width] = kGridColumns[stem];
        const std::string name = "JB4" + std::to_string(stem + 1);
        Caption(l, name + "1", {left, 1440, width, kRow});
        for (int row = 1; row <= 3; ++row)
            Field(l, name + std::to_string(row), {left, 1440 + row * kRow, width, kRow});
    }
    // The grid's tab order is row by row, not column by column.
    std::stable_sort(l.fields.end() - 24, l.fields.end(), [](const auto& a, const auto& b) {
        return a.column.back() < b.column.back();
    });
}

void TableOnePartners(PageLayout& l) {
    l.notes.push_back({"LabelPartners", "    协作单位", {360, 2520, 495, 720}, NoteStyle::Side});
    Caption(l, "JB51", {900, 2520, 4200, kRow});
    Caption(l, "JB52", {5160, 2520, 4500, kRow});
    Field(l, "JB51", {900, 2760, 4200, kRow});
    Field(l, "JB52", {5160, 2760, 4500, kRow});
    Field(l, "JB53", {900, 3000, 4200, kRow});
    Field(l, "JB54", {5160, 3000, 4500, kRow});
}

void TableOnePlan(PageLayout& l) {
    Pair(l, "JB61", 3240, 360, 2580, 3000, 6660);
    Pair(l, "JB62", 3480, 360, 2580, 3000, 6660);
    Pair(l, "JB63_1", 3720, 360, 2580, 3000, 900);
    Pair(l, "JB63_2", 3720, 4020, 2640, 6720, 900);
    Pair(l, "JB64", 3960, 360, 2580, 3000, 6660);
    Pair(l, "JB65", 4200, 360, 2580, 3000, 6660);
}

void TableOneProgress(PageLayout& l) {
    l.notes.push_back(
        {"LabelProgress", "    项目进展情况", {360, 4440, 495, 1440}, NoteStyle::Side});
    Pair(l, "JB71", 4440, 900, 2340, 3300, 3000);
    l.notes.push_back({"LabelReasons",
                       "项目进展情况为3、4、5的请选填主要原因(最多三项)",
                       {900, 4800, 8760, kRow},
                       NoteStyle::Plain});
    const std::array<const char*, 3> reasons = {"JB72_01", "JB72_02", "JB72_03"};
    for (int i = 0; i < 3; ++i)
        Pair(l, reasons[i], 5040, 900 + i * 2940, 1080, 1995 + i * 2940, 1785);
    Pair(l, "JB81", 5340, 900, 2340, 3300, 900);
    Pair(l, "JB82", 5340, 4320, 3000, 7380, 1200);
    Pair(l, "JB83", 5640, 900, 2340, 3300, 2400);
}

PageLayout TableOne() {
    PageLayout l;
    TableOneUnit(l);
    TableOneParticipants(l);
    TableOnePartners(l);
    TableOnePlan(l);
    TableOneProgress(l);
    return l;
}

void TableTwoBlock(PageLayout& l, const std::array<const char*, 8>& items, int caption_left,
                   int first_left, int second_left, const char* side) {
    const std::string s = side;
    l.notes.push_back({"LabelItems" + s,
                       "项   目   款   项",
                       {caption_left, 480, 2460, kRow},
                       NoteStyle::Heading});
    l.notes.push_back(
        {"LabelTotal" + s, "累计数", {first_left, 480, 900, kRow}, NoteStyle::Heading});
    l.notes.push_back(
        {"LabelYear" + s, "当年数", {second_left, 480, 900, kRow}, NoteStyle::Heading});
    for (int row = 0; row < 8; ++row) {
        const std::string item = items[row];
        const int top = 720 + row * kRow;
        const bool bold = item == "JF100" || item == "JF200" || item == "JF400";
        Caption(l, item + "1", {caption_left, top, 2460, kRow}, bold);
        Field(l, item + "1", {first_left, top, 900, kRow});
        Field(l, item + "2", {second_left, top, 900, kRow});
    }
}

PageLayout TableTwo() {
    PageLayout l;
    TableTwoBlock(l, {"JF100", "JF170", "JF110", "JF120", "JF130", "JF140", "JF150", "JF160"}, 600,
                  3120, 4080, "Left");
    TableTwoBlock(l, {"JF200", "JF300", "JF311", "JF312", "JF313", "JF314", "JF400", "JF410"}, 5040,
                  7560, 8520, "Right");
    l.notes.push_back({"TextCheckTable2",
                       "\n平衡条件：JF100 = JF170+JF110+JF120+JF130+JF140+JF150+JF160\n"
                       "          JF400 = JF100-JF200\n"
                       "          JF300 = JF311+JF312+JF313+JF314\n",
                       {600, 2640, 8895, 1455},
                       NoteStyle::Balance});
    return l;
}

// Tables three and four: one caption column and one field column.
PageLayout OneColumn(Page page) {
    PageLayout l;
    int top = 360;
    for (const store::Column* c : PageColumns(page)) {
        if (c->name == "JDCG") {
            l.captions.push_back({c->name, {480, 6360, 1050, 615}, false, true});
            Field(l, c->name, {1560, 6360, 8055, 615});
            continue;
        }
        Pair(l, c->name, top, 480, 5460, 6000, 3615);
        top += kRow;
    }
    return l;
}

PageLayout TableThree() {
    PageLayout l = OneColumn(Page::TableThree);
    l.notes.push_back({"TextCheckTable3",
                       "\n平衡条件：JL100 = JL110+JL430+JL440\n"
                       "          JL100 >= JL120+JL130 \n"
                       "          JL100 >= JL140+JL150\n"
                       "          JL100 >= JL160+JL170+JL180 \n"
                       "          JL400 >= JL410+JL420\n",
                       {480, 4680, 9135, 1815},
                       NoteStyle::Balance});
    return l;
}

}  // namespace

PageLayout LayoutOf(Page page) {
    switch (page) {
        case Page::Cover: return Cover();
        case Page::TableOne: return TableOne();
        case Page::TableTwo: return TableTwo();
        case Page::TableThree: return TableThree();
        case Page::TableFour: return OneColumn(Page::TableFour);
        case Page::None: break;
    }
    return {};
}

}  // namespace zorbix::forms
