// Numbers as the texts a store keeps of them: what a number read from a
// cell is stored as, and which stored texts a workbook can hold as numbers
// without changing them. A value is written as a number only when reading
// that number back gives the stored text again, byte for byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorbix::office {

// The number a stored value stands for, when the value is exactly that
// number's shortest text with at most 15 significant digits (what every
// spreadsheet program keeps exactly); nullopt for any other text ("", "007",
// "12.30", "1e3", "12 ", "5.0").
std::optional<double> ExactNumber(std::string_view value);

// What a number read from a cell is stored as: a whole number as its digits
// (5, never 5.0), any other number as its shortest round-trip text (12.3,
// never 12.300000000000001).
std::string StoredNumberText(double value);

}  // namespace zorbix::office
