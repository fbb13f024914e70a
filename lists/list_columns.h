// How the 137 columns of the project table appear in a project list (a
// workbook or CSV file): the heading caption of each column, and which
// stored values a workbook holds as numbers. A value is written as a number
// only when reading that number back gives the stored text again, byte for
// byte, so an exported list imports as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/catalogue.h"

namespace zorbix::lists {

// The column's caption without the item code the page shows after it
// ("中央拨款(千元)JF170" → "中央拨款(千元)", "项目编号(JH02)" → "项目编号"),
// the unit kept.
std::string HeadingCaption(const store::Column& column);

// True for the columns the catalogue treats as numbers.
bool IsNumberColumn(const store::Column& column);

// The number a stored value stands for, when the value is exactly that
// number's shortest text with at most 15 significant digits (what every
// spreadsheet program keeps exactly); nullopt for any other text ("", "007",
// "12.30", "1e3", "12 ", "5.0").
std::optional<double> ExactNumber(std::string_view value);

// What a number read from a cell is stored as: a whole number as its digits
// (5, never 5.0), any other number as its shortest round-trip text (12.3,
// never 12.300000000000001).
std::string StoredNumberText(double value);

}  // namespace zorbix::lists
