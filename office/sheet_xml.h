// One worksheet part written as it grows: rows of cells appended to a
// buffer that goes to a file beside the workbook whenever it fills, so a
// sheet of any size costs the memory of one buffer. The layout (column
// widths, frozen panes) precedes the rows in the part and must be given
// before the first cell; the dimension and the autofilter follow when the
// sheet is finished.
//
// A cell right after the previous one of its row carries no reference
// (readers count it on). Cell texts are spelled as spreadsheet programs
// read them: &, < and > as entities, control characters other than tab and
// line feed as "_xHHHH_", and leading or trailing white space preserved.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorbix::office {

// The cell styles of a list workbook (see WorkbookStylesXml).
enum class CellStyle { Plain = 0, Heading = 1, Text = 2 };

class SheetXml {
public:
    // file: where the part goes (created); tab_selected: the sheet a
    // spreadsheet program shows first.
    SheetXml(std::filesystem::path file, bool tab_selected);
    ~SheetXml();
    SheetXml(const SheetXml&) = delete;
    SheetXml& operator=(const SheetXml&) = delete;

    void SetWidth(int column, double width, CellStyle style);
    void FreezeAt(int row, int column);
    void AutoFilter(int first_row, int last_row, int last_column);
    // Printed landscape on A4 at 80 %, the first `rows` rows and `columns`
    // columns on every page.
    void PrintLayout(int rows, int columns);

    // Rows and columns 0-based, rows ascending, columns ascending in a row.
    // The text is written as given, already free of literal escapes. A
    // plain cell takes its column's style, as a typed one would.
    void Text(int row, int column, std::string_view text, CellStyle style);
    void Number(int row, int column, double value);

    // Completes the part and closes its file; throws base::Failure (naming
    // `shown`, the workbook) when the file cannot be written.
    void Finish(const std::filesystem::path& shown);

    const std::filesystem::path& file() const { return file_; }
    // The range the autofilter covers ("'项目'!$A$2:$EG$32769"), "" if none.
    std::string FilterRange(std::string_view sheet_name) const;
    // The rows and columns repeated on every printed page
    // ("'项目'!$A:$B,'项目'!$1:$2"), "" if none.
    std::string PrintTitles(std::string_view sheet_name) const;

private:
    void StartCell(int row, int column);
    void AppendStyle(int column, CellStyle style);
    void WritePrologue();
    void Flush();

    std::filesystem::path file_;
    std::FILE* out_ = nullptr;
    bool failed_ = false;
    int error_ = 0;  // errno of the first failure
    bool tab_selected_;
    bool started_ = false;
    std::string buffer_;
    std::string columns_;
    std::vector<CellStyle> column_styles_;
    int freeze_row_ = 0;
    int freeze_column_ = 0;
    int filter_[3] = {-1, -1, -1};
    int title_rows_ = 0, title_columns_ = 0;
    bool print_layout_ = false;
    int row_ = -1;         // the open row, -1 before the first
    int row_column_ = -2;  // the column of its last cell
    int first_row_ = -1, last_row_ = -1, first_column_ = -1, last_column_ = -1;
    long dimension_at_ = 0;
    std::vector<std::string> letters_;
};

// A cell reference ("C3") of a 0-based row and column.
std::string CellName(int row, int column);

}  // namespace zorbix::office
