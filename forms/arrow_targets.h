// Where the arrow keys move the focus on each page: the survey form's
// keyboard layout, kept as data apart from the widgets.
#pragma once

#include <string>
#include <string_view>

namespace zorbix::forms {

enum class Arrow { Up, Down, Left, Right };

// The column whose field takes the focus when `arrow` is pressed in the field
// of `column`; empty when the key moves nothing (the caret keeps it). A
// field may name itself (Up in the first field of the cover stays there).
std::string ArrowTarget(std::string_view column, Arrow arrow);

}  // namespace zorbix::forms
