#include "office/sheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/numeric_value.h"

namespace zorbix::office {

std::string NumberText(double value) {
    char buffer[64];
    // Whole numbers up to 2^53 are exact in a double: print them as integers.
    if (std::isfinite(value) && value == std::trunc(value) &&
        std::fabs(value) <= 9007199254740992.0) {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
        return std::string(buffer, r.ptr);
    }
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

Cell Cell::FromText(std::string text) {
    Cell c;
    c.kind = Kind::Text;
    c.number = base::NumericValue(text);
    c.text = std::move(text);
    return c;
}

Cell Cell::FromNumber(double number) {
    Cell c;
    c.kind = Kind::Number;
    c.number = number;
    c.text = NumberText(number);
    return c;
}

bool Sheet::Put(int row, int column, Cell cell) {
    if (cells_.size() >= kMaxCells) return false;
    const std::uint64_t key = Key(row, column);
    if (!cells_.empty() && cells_.back().first >= key) sorted_ = false;
    cells_.emplace_back(key, std::move(cell));
    return true;
}

void Sheet::Reserve(std::size_t cells) { cells_.reserve(std::min(cells, kMaxCells)); }

void Sheet::Settle() const {
    if (sorted_) return;
    std::stable_sort(cells_.begin(), cells_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Of two cells at one place the later one wins, as a spreadsheet keeps it.
    std::vector<std::pair<std::uint64_t, Cell>> kept;
    kept.reserve(cells_.size());
    for (auto& c : cells_) {
        if (!kept.empty() && kept.back().first == c.first)
            kept.back() = std::move(c);
        else
            kept.push_back(std::move(c));
    }
    cells_ = std::move(kept);
    sorted_ = true;
}

const Cell& Sheet::At(int row, int column) const {
    static const Cell empty;
    if (row < 1 || column < 1 || row > kMaxRow || column > kMaxColumn) return empty;
    Settle();
    const std::uint64_t key = Key(row, column);
    const auto it = std::lower_bound(cells_.begin(), cells_.end(), key,
                                     [](const auto& c, std::uint64_t k) { return c.first < k; });
    return it != cells_.end() && it->first == key ? it->second : empty;
}

int Sheet::LastRow() const {
    Settle();
    return cells_.empty() ? 0 : static_cast<int>(cells_.back().first >> 20);
}

bool Sheet::RowHasCells(int row) const {
    if (row < 1 || row > kMaxRow) return false;
    Settle();
    auto it = std::lower_bound(cells_.begin(), cells_.end(), Key(row, 0),
                               [](const auto& c, std::uint64_t k) { return c.first < k; });
    for (; it != cells_.end() && (it->first >> 20) == static_cast<std::uint64_t>(row); ++it)
        if (!it->second.IsEmpty()) return true;
    return false;
}

}  // namespace zorbix::office
