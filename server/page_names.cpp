#include "server/page_names.h"

#include <utility>

namespace zorbix::server {
namespace {

template <class Enum, std::size_t N>
std::string_view NameIn(const std::pair<Enum, std::string_view> (&table)[N], Enum value) {
    for (const auto& [entry, name] : table)
        if (entry == value) return name;
    return "";
}

using forms::NoteStyle;
using store::KeyClass;
using store::Kind;
using store::Page;

constexpr std::pair<Page, std::string_view> kPages[] = {
    {Page::Cover, "cover"},          {Page::TableOne, "table_one"},
    {Page::TableTwo, "table_two"},   {Page::TableThree, "table_three"},
    {Page::TableFour, "table_four"},
};

constexpr std::pair<Kind, std::string_view> kKinds[] = {
    {Kind::Text, "text"},
    {Kind::ProjectNumber, "project_number"},
    {Kind::Number, "number"},
    {Kind::Year, "year"},
    {Kind::YearMonth, "year_month"},
    {Kind::Date, "date"},
    {Kind::ListItem, "list_item"},
    {Kind::RegionCode, "region_code"},
    {Kind::MultiLineText, "multi_line_text"},
};

constexpr std::pair<KeyClass, std::string_view> kKeyClasses[] = {
    {KeyClass::None, "none"},     {KeyClass::Text, "text"},
    {KeyClass::Digits, "digits"}, {KeyClass::DigitsNoEnter, "digits_no_enter"},
    {KeyClass::Free, "free"},     {KeyClass::QuoteSafe, "quote_safe"},
};

constexpr std::pair<NoteStyle, std::string_view> kNoteStyles[] = {
    {NoteStyle::Title, "title"},     {NoteStyle::Heading, "heading"}, {NoteStyle::Plain, "plain"},
    {NoteStyle::Balance, "balance"}, {NoteStyle::Side, "side"},
};

}  // namespace

std::string_view PageName(Page page) { return NameIn(kPages, page); }
std::string_view KindName(Kind kind) { return NameIn(kKinds, kind); }
std::string_view KeyClassName(KeyClass keys) { return NameIn(kKeyClasses, keys); }
std::string_view NoteStyleName(NoteStyle style) { return NameIn(kNoteStyles, style); }

}  // namespace zorbix::server
