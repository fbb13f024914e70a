// Where each value of a project goes in its report: the 136 bookmarks of the
// report template, the column each takes its text from, and which characters
// of that text it shows (the year of a date, the code of a coded item).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "office/docx_bookmarks.h"
#include "store/record.h"

namespace zorbix::report {

// Which characters of the column's text a bookmark shows. Characters are
// counted as characters, not bytes; a shorter text gives what there is.
enum class Take {
    Whole,  // the text unchanged
    Chars,  // `count` characters from character `first` (1-based)
    Last,   // the last `count` characters
};

struct Placement {
    std::string_view bookmark;
    std::string_view column;
    Take take = Take::Whole;
    int first = 1;
    int count = 0;
};

inline constexpr int kPlacementCount = 136;

// All placements in the order in which a report is filled.
std::span<const Placement> Placements();

// The part of a UTF-8 text that a placement shows.
std::string CutText(std::string_view text, Take take, int first, int count);

// The text of every placement for one record (137 values in table order).
std::vector<office::BookmarkText> ReportTexts(const store::Record& record);

}  // namespace zorbix::report
