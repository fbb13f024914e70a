// A workbook written row by row: each sheet's XML goes to a temporary file
// beside the target as it grows (office/sheet_xml.h), so a sheet of any size
// costs the memory of a small buffer, and the package is zipped from those
// files when it is complete. The workbook is built
// under a temporary name beside the target and renamed into place when it is
// complete: a failure never leaves half a workbook under the final name, and
// a protected target (base/protected_targets.h) is refused before anything is
// written.
//
// Every failure is a base::Failure naming the file and the reason.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "office/sheet_xml.h"

namespace zorbix::office {

class ListWorkbook {
public:
    explicit ListWorkbook(const std::filesystem::path& target);
    ~ListWorkbook();  // discards an unfinished workbook
    ListWorkbook(const ListWorkbook&) = delete;
    ListWorkbook& operator=(const ListWorkbook&) = delete;

    // Starts a new sheet; the writes below go to it. Rows and columns are
    // 0-based, rows in ascending order.
    void AddSheet(std::string_view name);
    // Column width in characters, before the sheet's first cell; a text
    // column takes what is typed into it as text.
    void SetWidth(int column, double width, bool text = false);
    // Keeps rows above and columns left of the cell visible while
    // scrolling; before the sheet's first cell.
    void FreezeAt(int row, int column);
    void AutoFilter(int first_row, int last_row, int last_column);
    // Printed landscape at 80 %, the first rows and columns on every page.
    void PrintLayout(int rows, int columns);

    // The text exactly as given: a text that Excel would read as an escape
    // ("_x0041_") is written so that it reads back as itself. Fails for text
    // that is not UTF-8 or is longer than a cell can hold.
    void Text(int row, int column, std::string_view text);
    // A heading cell (bold).
    void Heading(int row, int column, std::string_view text);
    void Number(int row, int column, double value);

    // Finishes the workbook and moves it to the target.
    void Close();

    const std::filesystem::path& target() const { return target_; }

private:
    SheetXml& Sheet();
    void RemoveSheetFiles();

    std::filesystem::path target_;
    std::vector<std::string> names_;
    std::vector<std::unique_ptr<SheetXml>> sheets_;
};

}  // namespace zorbix::office
