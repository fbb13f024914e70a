// What a worksheet of a spreadsheet program can hold, for every reader and
// writer of workbooks here.
#pragma once

#include <cstddef>

namespace zorbix::office {

inline constexpr int kMaxSheetRows = 1'048'576;
inline constexpr int kMaxSheetColumns = 16'384;
// Characters (not bytes) of one cell's text.
inline constexpr std::size_t kMaxCellCharacters = 32'767;

}  // namespace zorbix::office
