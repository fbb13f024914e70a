#include "office/xlsx_rows.h"

#include <charconv>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/cell_text.h"
#include "office/number_text.h"
#include "office/sheet_limits.h"
#include "office/streamed_part.h"
#include "office/xlsx_package.h"
#include "office/xlsx_styles.h"
#include "office/zip_archive.h"

namespace zorbix::office {
namespace {

using base::Failure;

// Texts read from one workbook are bounded, so a small file that repeats a
// long shared string in every cell cannot fill the memory.
constexpr std::size_t kMaxTextBytes = std::size_t{512} << 20;

void TextInto(std::string_view raw, CellEscapes escapes, std::string& text) {
    if (escapes == CellEscapes::Decode)
        DecodeCellTextInto(raw, text);
    else
        text.assign(raw);
}

// The text of a string item (<si>, <is>): its own <t> or its runs' <t>;
// phonetic guides (<rPh>) are readings, not the text.
class StringItem {
public:
    explicit StringItem(CellEscapes escapes) : escapes_(escapes) {}
    void Start(std::string_view name) {
        if (name == "rPh") ++phonetic_;
        if (name == "t" && phonetic_ == 0) in_text_ = true;
    }
    void End(std::string_view name) {
        if (name == "rPh") --phonetic_;
        if (name == "t") in_text_ = false;
    }
    void Characters(std::string_view s) {
        if (in_text_) raw_ += s;
    }
    std::string Take() {
        std::string text;
        TakeInto(text);
        return text;
    }
    void TakeInto(std::string& text) {
        TextInto(raw_, escapes_, text);
        raw_.clear();
        phonetic_ = 0;
        in_text_ = false;
    }

private:
    CellEscapes escapes_;
    int phonetic_ = 0;
    bool in_text_ = false;
    std::string raw_;
};

class SharedStrings : public StreamedPart {
public:
    explicit SharedStrings(CellEscapes escapes) : item_(escapes) {}
    std::vector<std::string> strings;

protected:
    void Start(std::string_view name, XmlAttributes) override {
        if (name == "si") in_item_ = true;
        if (in_item_) item_.Start(name);
    }
    void End(std::string_view name) override {
        if (!in_item_) return;
        if (name != "si") return item_.End(name);
        strings.push_back(item_.Take());
        bytes_ += strings.back().size() + sizeof(std::string);
        if (bytes_ > kMaxTextBytes)
            throw Failure(base::MessageText("{1}中的文字过多，已拒绝读取。", {what()}));
        in_item_ = false;
    }
    void Text(std::string_view text) override {
        if (in_item_) item_.Characters(text);
    }

private:
    StringItem item_;
    bool in_item_ = false;
    std::size_t bytes_ = 0;
};

// "AB12" → column 28, row 12; false for anything else or out of range.
bool ParseReference(std::string_view ref, int& row, int& column) {
    std::size_t i = 0;
    column = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
        column = column * 26 + (ref[i] - 'A' + 1);
        if (column > kMaxSheetColumns) return false;
    }
    if (i == 0) return false;
    const auto r = std::from_chars(ref.data() + i, ref.data() + ref.size(), row);
    return r.ec == std::errc() && r.ptr == ref.data() + ref.size() && row >= 1 &&
           row <= kMaxSheetRows;
}

// The cells of each row, handed on when the row ends. The cells' texts are
// kept from row to row, so a sheet of millions of cells costs few
// allocations.
class SheetRows : public StreamedPart {
public:
    SheetRows(const std::vector<std::string>& strings, const std::vector<bool>& dates,
              const RowVisitor& visit, CellEscapes escapes)
        : strings_(strings), dates_(dates), visit_(visit), escapes_(escapes), inline_(escapes) {}

protected:
    void Start(std::string_view name, XmlAttributes attributes) override {
        if (name == "c") return StartCell(attributes);
        if (name == "row") return StartRow(FindAttribute(attributes, "r"));
        if (!in_cell_) return;
        if (name == "v") in_value_ = true;
        if (name == "is") in_inline_ = true;
        if (in_inline_) inline_.Start(name);
    }
    void End(std::string_view name) override {
        if (name == "c") return EndCell();
        if (name == "row") return EndRow();
        if (name == "v") in_value_ = false;
        if (name == "is") in_inline_ = false;
        if (in_inline_) inline_.End(name);
    }
    void Text(std::string_view text) override {
        if (in_value_) value_ += text;
        if (in_inline_) inline_.Characters(text);
    }

private:
    [[noreturn]] void Damaged(const std::string& why) const {
        throw SheetDamaged(base::MessageText("{1}已损坏（{2}）。", {what(), why}), why);
    }

    void StartRow(const std::string_view* r) {
        int number = row_ + 1;
        if (r) {
            const auto res = std::from_chars(r->data(), r->data() + r->size(), number);
            if (res.ec != std::errc() || res.ptr != r->data() + r->size()) number = -1;
        }
        if (number < 1 || number > kMaxSheetRows) Damaged("行号无效");
        row_ = number;
        column_ = 0;
        used_ = 0;
    }

    void EndRow() {
        if (used_ > 0) visit_(row_, std::span<const ListCell>(cells_.data(), used_));
        used_ = 0;
    }

    void StartCell(XmlAttributes attributes) {
        in_cell_ = true;
        value_.clear();
        const std::string_view* ref = FindAttribute(attributes, "r");
        int row = row_;
        if (!ref) {
            if (++column_ > kMaxSheetColumns) Damaged("列号超出范围");
        } else if (!ParseReference(*ref, row, column_)) {
            Damaged(base::MessageText("单元格位置“{1}”无效", {*ref}));
        }
        const std::string_view* type = FindAttribute(attributes, "t");
        type_.assign(type ? *type : std::string_view());
        const std::string_view* style = FindAttribute(attributes, "s");
        int s = 0;
        if (style) std::from_chars(style->data(), style->data() + style->size(), s);
        date_style_ = s >= 0 && static_cast<std::size_t>(s) < dates_.size() && dates_[s];
    }

    void EndCell() {
        in_cell_ = in_value_ = in_inline_ = false;
        if (used_ == cells_.size()) cells_.emplace_back();
        ListCell& cell = cells_[used_];
        cell.column = column_;
        cell.kind = ListCell::Kind::Text;
        cell.number = 0;
        cell.numeric = false;
        if (!Fill(cell)) return;
        text_bytes_ += cell.text.size();
        if (text_bytes_ > kMaxTextBytes)
            throw Failure(base::MessageText("{1}中的文字过多，已拒绝读取。", {what()}));
        ++used_;
    }

    // The cell's content; false for a cell without any.
    bool Fill(ListCell& cell) {
        using K = ListCell::Kind;
        if (type_ == "inlineStr")
            inline_.TakeInto(cell.text);
        else if (type_ == "s")
            cell.text.assign(Shared());
        else if (type_ == "str")
            TextInto(value_, escapes_, cell.text);
        else if (type_ == "b")
            cell.kind = K::Boolean, cell.text = value_ == "1" ? "TRUE" : "FALSE";
        else if (type_ == "e")
            cell.kind = K::Error, cell.text = value_;
        else if (type_ == "d")
            cell.kind = K::Date, cell.text = value_;
        else
            return value_.empty() ? false : Number(cell);
        return cell.kind != K::Text || !cell.text.empty();
    }

    bool Number(ListCell& cell) {
        const auto r = std::from_chars(value_.data(), value_.data() + value_.size(), cell.number);
        if (r.ec != std::errc() || r.ptr != value_.data() + value_.size())
            Damaged(base::MessageText("数值“{1}”无效", {value_}));
        cell.kind = date_style_ ? ListCell::Kind::Date : ListCell::Kind::Number;
        cell.numeric = true;
        cell.text = StoredNumberText(cell.number);
        return true;
    }

    const std::string& Shared() const {
        std::size_t index = 0;
        const auto r = std::from_chars(value_.data(), value_.data() + value_.size(), index);
        if (r.ec != std::errc() || r.ptr != value_.data() + value_.size() ||
            index >= strings_.size())
            Damaged(base::MessageText("共享字符串编号“{1}”无效", {value_}));
        return strings_[index];
    }

    const std::vector<std::string>& strings_;
    const std::vector<bool>& dates_;
    const RowVisitor& visit_;
    CellEscapes escapes_;
    std::vector<ListCell> cells_;  // the first used_ are this row's
    std::size_t used_ = 0;
    int row_ = 0;
    int column_ = 0;
    bool in_cell_ = false, in_value_ = false, in_inline_ = false;
    bool date_style_ = false;
    std::string type_;
    std::string value_;
    StringItem inline_;
    std::size_t text_bytes_ = 0;
};

}  // namespace

std::string SharedStringsPart(const ZipArchive& package) {
    const std::string part = WorkbookPart(package, "/sharedStrings");
    return part.empty() ? "xl/sharedStrings.xml" : part;
}

void ReadXlsxRows(const std::filesystem::path& file, const RowVisitor& visit,
                  const ReadProgress& progress, CellEscapes escapes) {
    const office::ZipArchive package(file);
    const std::string sheet = office::FirstSheetPart(package);
    SharedStrings shared(escapes);
    if (const auto part = SharedStringsPart(package); package.Has(part)) shared.Read(package, part);
    const std::vector<bool> dates = DateStyles(package);
    SheetRows rows(shared.strings, dates, visit, escapes);
    if (progress)
        rows.progress = [&progress](std::uint64_t done, std::uint64_t total) {
            progress(static_cast<long>(done >> 10), static_cast<long>(total >> 10));
        };
    rows.Read(package, sheet);
}

}  // namespace zorbix::office
