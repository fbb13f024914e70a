// The survey's reading of a text as a number, used for every numeric reading
// of a field and for every comparison of project numbers.
#pragma once

#include <string_view>

namespace zorbix::base {

// The number formed by the leading characters of a text: leading blanks are
// skipped, then an optional sign, digits and at most one decimal point are
// read; reading stops at the first other character. A text that does not
// begin with a number gives 0 ("3.拖延" → 3, "2012-05" → 2012, "" → 0).
double NumericValue(std::string_view text);

}  // namespace zorbix::base
