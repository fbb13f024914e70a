// Fills numbers into the first sheet of an xlsx template and saves the result
// under another name, everything else of the template kept byte for byte.
// Spreadsheet programs recompute the template's formulas when they open the
// result (the workbook asks for a full calculation on load), and every
// formula cell carries the value computed from the numbers set, for
// programs that show cached values; a formula that cannot be computed here
// keeps no cached value rather than the template's stale one.
//
// Every failure (not a zip, no first sheet, broken XML, a part too large,
// an output that cannot be written) is a base::Failure whose message names
// the file and the reason.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace zorbix::office {

struct XlsxTemplate;

class XlsxCellWriter {
public:
    // Opens the template and reads its first sheet (office/xlsx_template.h:
    // a template already read and unchanged since is not read again).
    explicit XlsxCellWriter(const std::filesystem::path& workbook);

    // Sets the cell at a 1-based row and column to a number. A cell that
    // exists keeps its style and loses its former value, type and formula.
    // Fails for a position outside the sheet or a value that is no number.
    void SetNumber(int row, int column, double value);

    // Writes the template with the numbers set to target (atomically);
    // target must not be the template itself.
    void Save(const std::filesystem::path& target) const;

private:
    std::shared_ptr<const XlsxTemplate> template_;
    std::map<std::pair<int, int>, double> numbers_;  // (row, column) -> value
};

// The letters of a 1-based column ("A", "Z", "AA").
std::string ColumnLetters(int column);

// A cell reference ("B12") split into its 1-based row and column; {0, 0}
// when the text is not one.
std::pair<int, int> ParseCellReference(std::string_view reference);

// The text of a number as a cell value: whole numbers as integers, others
// with the 15 significant digits spreadsheet programs hold; never locale
// dependent.
std::string CellNumberText(double value);

}  // namespace zorbix::office
