// How the 137 columns of the project table appear in a project list (a
// workbook or CSV file): the heading caption of each column, and which
// stored values a workbook holds as numbers. A value is written as a number
// only when reading that number back gives the stored text again, byte for
// byte, so an exported list imports as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "office/number_text.h"
#include "store/catalogue.h"

namespace zorbix::lists {

// The column's caption without the item code the page shows after it
// ("中央拨款(千元)JF170" → "中央拨款(千元)", "项目编号(JH02)" → "项目编号"),
// the unit kept.
std::string HeadingCaption(const store::Column& column);

// True for the columns the catalogue treats as numbers.
bool IsNumberColumn(const store::Column& column);

// The number texts of office/number_text.h, as lists have always named them.
using office::ExactNumber;
using office::StoredNumberText;

}  // namespace zorbix::lists
