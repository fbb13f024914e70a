#include "office/sheet_xml.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/xlsx_cell_writer.h"
#include "office/xml_escape.h"

namespace zorbix::office {
namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
// Room for the largest dimension ("A1:XFD1048576"); the rest stays blanks,
// which XML allows between elements.
constexpr std::string_view kDimensionSlot = "<dimension ref=\"A1:XFD1048576\"/>";

void AppendInt(std::string& out, long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// As spreadsheet writers spell a number: up to 16 significant digits, the
// shortest form of them ("12.3", "1E+20").
void AppendNumber(std::string& out, double value) {
    char digits[40];
    auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 16).ptr;
    std::replace(digits, end, 'e', 'E');
    out.append(digits, end);
}

bool IsControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n'; }

// The text escaped as XML (office/xml_escape.h), and a control character
// other than tab and line feed as "_xHHHH_".
void AppendEscaped(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!IsControl(c)) continue;
        AppendXmlEscaped(out, text.substr(plain, i - plain));
        plain = i + 1;
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += "_x00";
        out += kHex[c >> 4];
        out += kHex[c & 15];
        out += '_';
    }
    AppendXmlEscaped(out, text.substr(plain));
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string Range(int first_row, int first_column, int last_row, int last_column, bool absolute) {
    const auto name = [absolute](int row, int column) {
        const std::string letters = office::ColumnLetters(column + 1);
        const std::string number = std::to_string(row + 1);
        return absolute ? "$" + letters + "$" + number : letters + number;
    };
    if (first_row == last_row && first_column == last_column) return name(first_row, first_column);
    return name(first_row, first_column) + ":" + name(last_row, last_column);
}

}  // namespace

std::string CellName(int row, int column) {
    return office::ColumnLetters(column + 1) + std::to_string(row + 1);
}

SheetXml::SheetXml(std::filesystem::path file, bool tab_selected)
    : file_(std::move(file)), tab_selected_(tab_selected) {
    out_ = std::fopen(file_.c_str(), "wb");
    if (!out_) failed_ = true, error_ = errno;
    buffer_.reserve(kFlushBytes + 65536);
}

SheetXml::~SheetXml() {
    if (out_) std::fclose(out_);
}

void SheetXml::SetWidth(int column, double width, CellStyle style) {
    // A column is as wide as `width` digits of the default font (7 pixels)
    // plus its 5 pixels of margin, in 1/256 of a digit.
    const double stored =
        static_cast<double>(static_cast<int>((width * 7 + 5) / 7 * 256.0)) / 256.0;
    if (static_cast<int>(column_styles_.size()) <= column)
        column_styles_.resize(column + 1, CellStyle::Plain);
    column_styles_[column] = style;
    columns_ += "<col min=\"";
    AppendInt(columns_, column + 1);
    columns_ += "\" max=\"";
    AppendInt(columns_, column + 1);
    columns_ += "\" width=\"";
    AppendNumber(columns_, stored);
    columns_ += '"';
    if (style != CellStyle::Plain) {
        columns_ += " style=\"";
        AppendInt(columns_, static_cast<int>(style));
        columns_ += '"';
    }
    columns_ += " customWidth=\"1\"/>";
}

void SheetXml::FreezeAt(int row, int column) {
    freeze_row_ = row;
    freeze_column_ = column;
}

void SheetXml::AutoFilter(int first_row, int last_row, int last_column) {
    filter_[0] = first_row;
    filter_[1] = last_row;
    filter_[2] = last_column;
}

void SheetXml::PrintLayout(int rows, int columns) {
    print_layout_ = true;
    title_rows_ = rows;
    title_columns_ = columns;
}

std::string SheetXml::PrintTitles(std::string_view sheet_name) const {
    if (!print_layout_ || (title_rows_ == 0 && title_columns_ == 0)) return "";
    std::string quoted = "'";
    for (char c : sheet_name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    quoted += "'!";
    std::string titles;
    if (title_columns_ > 0) titles = quoted + "$A:$" + office::ColumnLetters(title_columns_);
    if (title_rows_ > 0)
        titles += (titles.empty() ? "" : ",") + quoted + "$1:$" + std::to_string(title_rows_);
    return titles;
}

std::string SheetXml::FilterRange(std::string_view sheet_name) const {
    if (filter_[0] < 0) return "";
    std::string quoted = "'";
    for (char c : sheet_name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'!" + Range(filter_[0], 0, filter_[1], filter_[2], true);
}

void SheetXml::WritePrologue() {
    started_ = true;
    buffer_ +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
    dimension_at_ = static_cast<long>(buffer_.size());
    buffer_.append(kDimensionSlot.size(), ' ');
    buffer_ += tab_selected_ ? "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\">"
                             : "<sheetViews><sheetView workbookViewId=\"0\">";
    if (freeze_row_ > 0 || freeze_column_ > 0) {
        const std::string corner = CellName(freeze_row_, freeze_column_);
        const char* pane = freeze_row_ > 0 && freeze_column_ > 0 ? "bottomRight"
                           : freeze_row_ > 0                     ? "bottomLeft"
                                                                 : "topRight";
        buffer_ += "<pane";
        if (freeze_column_ > 0) buffer_ += " xSplit=\"" + std::to_string(freeze_column_) + '"';
        if (freeze_row_ > 0) buffer_ += " ySplit=\"" + std::to_string(freeze_row_) + '"';
        buffer_ += " topLeftCell=\"" + corner + "\" activePane=\"" + pane + "\" state=\"frozen\"/>";
        if (freeze_row_ > 0 && freeze_column_ > 0) {
            const std::string right = CellName(0, freeze_column_);
            const std::string below = CellName(freeze_row_, 0);
            buffer_ += "<selection pane=\"topRight\" activeCell=\"" + right + "\" sqref=\"" +
                       right + "\"/><selection pane=\"bottomLeft\" activeCell=\"" + below +
                       "\" sqref=\"" + below + "\"/>";
        }
        buffer_ += std::string("<selection pane=\"") + pane + "\"/>";
    }
    buffer_ += "</sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!columns_.empty()) buffer_ += "<cols>" + columns_ + "</cols>";
    buffer_ += "<sheetData>";
}

void SheetXml::StartCell(int row, int column) {
    if (!started_) WritePrologue();
    if (row != row_) {
        if (row_ >= 0) buffer_ += "</row>";
        row_ = row;
        row_column_ = -2;  // the first cell of a row keeps its reference
        buffer_ += "<row r=\"";
        AppendInt(buffer_, row + 1);
        buffer_ += "\">";
        if (first_row_ < 0) first_row_ = row;
        last_row_ = row;
        if (buffer_.size() > kFlushBytes) Flush();
    }
    if (first_column_ < 0 || column < first_column_) first_column_ = column;
    last_column_ = std::max(last_column_, column);
    if (static_cast<int>(letters_.size()) <= column) {
        const int had = static_cast<int>(letters_.size());
        letters_.resize(column + 1);
        for (int c = had; c <= column; ++c) letters_[c] = office::ColumnLetters(c + 1);
    }
    // A cell right after the previous one of its row needs no reference:
    // readers count it on, and the sheet is a fifth smaller to deflate.
    const bool next = column == row_column_ + 1;
    row_column_ = column;
    if (next) {
        buffer_ += "<c";
        return;
    }
    buffer_ += "<c r=\"";
    buffer_ += letters_[column];
    AppendInt(buffer_, row + 1);
    buffer_ += '"';
}

void SheetXml::AppendStyle(int column, CellStyle style) {
    if (style == CellStyle::Plain && column < static_cast<int>(column_styles_.size()))
        style = column_styles_[column];
    if (style == CellStyle::Plain) return;
    buffer_ += " s=\"";
    buffer_ += static_cast<char>('0' + static_cast<int>(style));
    buffer_ += '"';
}

void SheetXml::Text(int row, int column, std::string_view text, CellStyle style) {
    StartCell(row, column);
    AppendStyle(column, style);
    const bool preserve = !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
    buffer_ +=
        preserve ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>";
    AppendEscaped(buffer_, text);
    buffer_ += "</t></is></c>";
}

void SheetXml::Number(int row, int column, double value) {
    StartCell(row, column);
    AppendStyle(column, CellStyle::Plain);
    buffer_ += "><v>";
    AppendNumber(buffer_, value);
    buffer_ += "</v></c>";
}

void SheetXml::Flush() {
    if (out_ && !failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size())
        failed_ = true, error_ = errno;
    buffer_.clear();
}

void SheetXml::Finish(const std::filesystem::path& shown) {
    if (!started_) WritePrologue();
    if (row_ >= 0) buffer_ += "</row>";
    buffer_ += "</sheetData>";
    if (filter_[0] >= 0)
        buffer_ +=
            "<autoFilter ref=\"" + Range(filter_[0], 0, filter_[1], filter_[2], false) + "\"/>";
    buffer_ +=
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
        "footer=\"0.3\"/>";
    if (print_layout_)
        buffer_ += "<pageSetup paperSize=\"9\" scale=\"80\" orientation=\"landscape\"/>";
    buffer_ += "</worksheet>";
    // The dimension is known now: it goes into the blanks left for it.
    std::string dimension = "<dimension ref=\"";
    dimension +=
        first_row_ < 0 ? "A1" : Range(first_row_, first_column_, last_row_, last_column_, false);
    dimension += "\"/>";
    const bool in_buffer =
        static_cast<std::size_t>(dimension_at_) < buffer_.size() && out_ && std::ftell(out_) == 0;
    if (in_buffer) buffer_.replace(dimension_at_, dimension.size(), dimension);
    Flush();
    if (!in_buffer && out_ && !failed_ &&
        (std::fseek(out_, dimension_at_, SEEK_SET) != 0 ||
         std::fwrite(dimension.data(), 1, dimension.size(), out_) != dimension.size()))
        failed_ = true, error_ = errno;
    if (out_ && std::fclose(out_) != 0 && !failed_) failed_ = true, error_ = errno;
    out_ = nullptr;
    if (failed_)
        throw base::Failure(
            base::MessageText("无法写入{1}：{2}。",
                              {base::QuotedFileName(shown), std::strerror(error_ ? error_ : EIO)}));
}

}  // namespace zorbix::office
