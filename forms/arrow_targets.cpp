#include "forms/arrow_targets.h"

#include <array>
#include <span>

#include "store/catalogue.h"

namespace zorbix::forms {
namespace {

using store::Page;

// Table one's single fields: up, down, left, right ("" = nothing).
struct Targets {
    std::string_view field, up, down, left, right;
};

constexpr std::array<Targets, 24> kTableOne = {{
    {"JB21", "", "JB23", "", "JB22"},           {"JB22", "", "JB24", "JB21", ""},
    {"JB23", "JB21", "JB25", "", "JB24"},       {"JB24", "JB22", "JB26", "JB23", ""},
    {"JB25", "JB23", "JB27", "", "JB26"},       {"JB26", "JB24", "JB27", "JB25", ""},
    {"JB27", "JB25", "JB411", "", ""},          {"JB51", "JB413", "JB53", "", "JB52"},
    {"JB52", "JB483", "JB54", "JB51", ""},      {"JB53", "JB51", "JB61", "", "JB54"},
    {"JB54", "JB52", "JB61", "JB53", ""},       {"JB61", "JB53", "JB62", "", ""},
    {"JB62", "JB61", "JB63_1", "", ""},         {"JB63_1", "JB62", "JB64", "", "JB63_2"},
    {"JB63_2", "JB62", "JB64", "JB63_1", ""},   {"JB64", "JB63_1", "JB65", "", ""},
    {"JB65", "JB64", "JB71", "", ""},           {"JB71", "JB65", "JB72_01", "", ""},
    {"JB72_01", "JB71", "JB81", "", "JB72_02"}, {"JB72_02", "JB71", "JB81", "JB72_01", "JB72_03"},
    {"JB72_03", "JB71", "JB82", "JB72_02", ""}, {"JB81", "JB72_03", "JB83", "", "JB82"},
    {"JB82", "JB72_01", "JB83", "JB81", ""},    {"JB83", "JB81", "", "", ""},
}};

// The participant grid: eight column stems by three person rows.
constexpr std::array<std::string_view, 8> kGridStems = {"JB41", "JB42", "JB43", "JB44",
                                                        "JB45", "JB46", "JB47", "JB48"};

// Table two: the items of the left and right block, top to bottom.
constexpr std::array<std::string_view, 8> kLeftItems = {"JF100", "JF170", "JF110", "JF120",
                                                        "JF130", "JF140", "JF150", "JF160"};
constexpr std::array<std::string_view, 8> kRightItems = {"JF200", "JF300", "JF311", "JF312",
                                                         "JF313", "JF314", "JF400", "JF410"};

int IndexIn(std::span<const store::Column* const> order, std::string_view column) {
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i]->name == column) return static_cast<int>(i);
    return -1;
}

// Down to the next field of the page order, Up to the previous one.
std::string AlongPage(Page page, std::string_view column, Arrow arrow, bool up_stays_at_top) {
    const auto order = PageColumns(page);
    const int i = IndexIn(order, column);
    if (i < 0) return {};
    const int last = static_cast<int>(order.size()) - 1;
    if (arrow == Arrow::Down) return i < last ? order[i + 1]->name : std::string();
    if (arrow == Arrow::Up) {
        if (i > 0) return order[i - 1]->name;
        return up_stays_at_top ? std::string(column) : std::string();
    }
    return {};
}

std::string Cover(std::string_view column, Arrow arrow) {
    if (column == "TBSJ" && arrow != Arrow::Up) return {};
    return AlongPage(Page::Cover, column, arrow, true);
}

std::string GridCell(int stem, int row) { return std::string(kGridStems[stem]) + char('0' + row); }

std::string ParticipantGrid(int stem, int row, Arrow arrow) {
    switch (arrow) {
        case Arrow::Up: return row > 1 ? GridCell(stem, row - 1) : "JB27";
        case Arrow::Down:
            if (row < 3) return GridCell(stem, row + 1);
            return stem == 7 ? "JB52" : "JB51";
        case Arrow::Left: return stem > 0 ? GridCell(stem - 1, row) : std::string();
        case Arrow::Right: return stem < 7 ? GridCell(stem + 1, row) : std::string();
    }
    return {};
}

std::string TableOne(std::string_view column, Arrow arrow) {
    for (const Targets& t : kTableOne) {
        if (t.field != column) continue;
        const std::string_view to[] = {t.up, t.down, t.left, t.right};
        return std::string(to[static_cast<int>(arrow)]);
    }
    if (column.size() == 5)
        for (int stem = 0; stem < 8; ++stem)
            if (column.substr(0, 4) == kGridStems[stem] && column[4] >= '1' && column[4] <= '3')
                return ParticipantGrid(stem, column[4] - '0', arrow);
    return {};
}

// Table two as a grid of eight screen rows by four columns.
std::string TableTwoCell(int row, int col) {
    const auto& items = col < 2 ? kLeftItems : kRightItems;
    return std::string(items[row]) + (col % 2 == 0 ? "1" : "2");
}

std::string TableTwo(std::string_view column, Arrow arrow) {
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 4; ++col) {
            if (TableTwoCell(row, col) != column) continue;
            switch (arrow) {
                case Arrow::Up: return row > 0 ? TableTwoCell(row - 1, col) : std::string();
                case Arrow::Down: return row < 7 ? TableTwoCell(row + 1, col) : std::string();
                case Arrow::Left: return col > 0 ? TableTwoCell(row, col - 1) : std::string();
                case Arrow::Right: return col < 3 ? TableTwoCell(row, col + 1) : std::string();
            }
        }
    return {};
}

}  // namespace

std::string ArrowTarget(std::string_view column, Arrow arrow) {
    const auto index = store::FindColumn(column);
    if (!index) return {};
    switch (store::Columns()[*index].page) {
        case Page::Cover: return Cover(column, arrow);
        case Page::TableOne: return TableOne(column, arrow);
        case Page::TableTwo: return TableTwo(column, arrow);
        case Page::TableThree: return AlongPage(Page::TableThree, column, arrow, false);
        case Page::TableFour:
            if (column == "JDCG") return {};
            return AlongPage(Page::TableFour, column, arrow, true);
        case Page::None: break;
    }
    return {};
}

}  // namespace zorbix::forms
