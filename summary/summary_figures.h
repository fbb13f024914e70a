// How the summaries read numbers out of field texts.
#pragma once

#include <cstdint>
#include <string_view>

namespace zorbix::summary {

// The amount of a field: its numeric value cut down to the whole number at
// or below it (12.9 gives 12, -0.5 gives -1, an empty field 0).
double Amount(std::string_view text);

// A code read as the nearest whole number, halves to the even neighbour
// (2.5 gives 2, 3.5 gives 4). Values beyond the 64-bit range are held at
// its ends, so an absurd code still lands outside every table.
std::int64_t RoundedCode(std::string_view text);

// A key of the standard row layout: the numeric value cut down to the
// whole number at or below it, held within the 64-bit range.
std::int64_t CutKey(std::string_view text);

}  // namespace zorbix::summary
