// Texts of workbook cells as Office Open XML spells them: a character XML
// cannot carry (CR, other control characters) stands as "_xHHHH_", and an
// underscore that would start such a sequence as "_x005F_".
#pragma once

#include <string>
#include <string_view>

namespace zorbix::office {

// The text with every "_xHHHH_" the text itself holds kept as it is: its
// underscore written "_x005F_". (The sheet writer writes the control
// characters as escapes itself.)
std::string KeepLiteralEscapes(std::string_view text);

// A cell's text as the user sees it: every "_xHHHH_" as its character.
std::string DecodeCellText(std::string_view text);
// The same into `out`, whose buffer is reused.
void DecodeCellTextInto(std::string_view text, std::string& out);

}  // namespace zorbix::office
