// The column catalogue: every column of the project table with the page field
// that shows it, its caption, its length limit, its key class and its picker.
// Everyone reads columns through this one table: the store creates the table
// from it, the exchange walks it by index, the screen builds its pages from it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "store/code_lists.h"
#include "store/record.h"

namespace zorbix::store {

// The page a column is shown on; None for the four columns without a field.
enum class Page { None, Cover, TableOne, TableTwo, TableThree, TableFour };

// What kind of value a column holds.
enum class Kind {
    Text,           // free text
    ProjectNumber,  // JB02: 12 characters when added
    Number,         // a whole number; readers take its NumericValue
    Year,           // four digits
    YearMonth,      // "XXXX-XX"
    Date,           // the date of filling in
    ListItem,       // the whole item text of a code picker ("3.拖延")
    RegionCode,     // the six-digit division code of a region item
    MultiLineText,  // JDCG: several lines, no length limit in its field
};

// Which keys a field accepts when typed.
enum class KeyClass {
    None,           // no page field
    Text,           // all characters; Enter moves on
    Digits,         // 0-9 and Backspace; Enter moves on
    DigitsNoEnter,  // 0-9 and Backspace; Enter discarded
    Free,           // all characters; Enter does nothing
    QuoteSafe,      // JDCG: a typed double quote becomes a single quote
};

struct Column {
    int index = 0;     // position in the table and in exchange records
    std::string name;  // column name, the survey form's item code
    Page page = Page::None;
    std::string field;    // control name of its page field ("TextJB02"); empty without one
    std::string caption;  // caption beside the field, as shown
    int max_bytes = 0;    // length limit in GBK bytes; 0 = no limit
    Kind kind = Kind::Text;
    KeyClass keys = KeyClass::None;
    Picker picker = Picker::None;
    int indent = 0;              // blanks that begin the caption (sub-items)
    int picker_row = 0;          // the PickerRow (1..3) a focus on this field sets; 0 = none
    bool hides_pickers = false;  // focus hides an open picker although it owns none
};

inline constexpr int kColumnCount = kRecordColumns;
// JB02, the project number, stands second in the table and in every
// exchange record.
inline constexpr int kNumberColumn = 1;
inline constexpr std::string_view kTableName = "kjxmzxqk";

// All 137 columns in table order.
std::span<const Column> Columns();

// Index of a column by name, or nullopt for a name that is not a column.
std::optional<int> FindColumn(std::string_view name);

// The column of that name; throws std::out_of_range for an unknown name
// (a programming error: names in code come from this table).
const Column& ColumnNamed(std::string_view name);

// Index shorthand for code that names columns it knows exist.
int ColumnIndex(std::string_view name);

// The columns of one page in binding (tab) order.
std::span<const Column* const> PageColumns(Page page);

// The caption of a page ("封面", "表一、概况", ...).
std::string_view PageCaption(Page page);

}  // namespace zorbix::store
