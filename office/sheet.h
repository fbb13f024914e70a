// The cells of one worksheet as the programs read them: each cell empty, a
// text or a number, addressed by 1-based row and column as a spreadsheet
// shows them. Only cells with content are held, so a sparse sheet with a far
// corner cell costs nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "office/sheet_limits.h"

namespace zorbix::office {

// A whole number as its digits (a 12-digit project number stays 12 digits),
// any other number as the shortest text that reads back as the same double
// (1234.56 stays 1234.56). Locale-free.
std::string NumberText(double value);

struct Cell {
    enum class Kind { Empty, Text, Number };

    Kind kind = Kind::Empty;
    std::string text;   // the text, or a number's NumberText
    double number = 0;  // the number, or NumericValue of the text

    static Cell FromText(std::string text);
    static Cell FromNumber(double number);
    bool IsEmpty() const { return kind == Kind::Empty || (kind == Kind::Text && text.empty()); }
};

class Sheet {
public:
    // A sheet larger than this is refused by the readers: far beyond any
    // real plan list, and a hostile file must not fill the memory.
    static constexpr std::size_t kMaxCells = 4'000'000;
    static constexpr int kMaxRow = kMaxSheetRows;
    static constexpr int kMaxColumn = kMaxSheetColumns;

    // The cell at row and column (1-based); an empty cell where nothing is.
    const Cell& At(int row, int column) const;
    // The last row holding any cell; 0 for an empty sheet.
    int LastRow() const;
    // Whether any cell of the row holds something.
    bool RowHasCells(int row) const;
    std::size_t CellCount() const { return cells_.size(); }

    // For the readers: puts a cell (a later one at the same place wins).
    // Returns false when the sheet is full (kMaxCells).
    bool Put(int row, int column, Cell cell);
    // For the readers: room for about this many cells (kept under kMaxCells).
    void Reserve(std::size_t cells);

private:
    static std::uint64_t Key(int row, int column) {
        return (static_cast<std::uint64_t>(row) << 20) | static_cast<std::uint64_t>(column);
    }
    void Settle() const;

    mutable std::vector<std::pair<std::uint64_t, Cell>> cells_;
    mutable bool sorted_ = true;
};

}  // namespace zorbix::office
