// What a stored value may hold: text that every output of the program
// writes and reads back unchanged. The exchange file is GBK and refuses
// control characters; a report is XML, which cannot carry most of them; a
// workbook cell holds at most 32767 characters; the project lists carry a
// line break only in the multi-line results text, as CR LF. Every way into
// the store (typing, set, import, append, restore) asks ValueFault before it
// writes, and either refuses the value, naming the project and the column,
// or mends it as it states.
//
// A value longer than its column's own length limit is not a fault: such
// values arrive whole through exchange files and are kept whole, so every
// way in accepts them and every output carries them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "store/catalogue.h"

namespace zorbix::store {

// The most characters a value may have: what one workbook cell holds.
inline constexpr std::size_t kMaxValueCharacters = 32767;

// What is wrong with `value` for `column`, as words that follow the column's
// name ("含有控制字符（U+0009，制表符）"); nullopt when it may be stored.
std::optional<std::string> ValueFault(const Column& column, std::string_view value);

// The same rule for text already known to be GBK (decoded from an exchange
// file, or about to be written to one, which finds a character GBK lacks
// anyway): a value without a control byte and within the length passes at
// once, without converting it to GBK once more.
std::optional<std::string> GbkTextFault(const Column& column, std::string_view value);

// Where a value stands, for messages: "项目“201300000001”的JB01（项目名称）".
std::string ValuePlace(std::string_view project, const Column& column);

// The value mended so that ValueFault finds nothing, and what was done, for
// the ways in that mend rather than refuse (a restore of an older backup):
// control characters become blanks (a lone CR or LF of the results text
// becomes CR LF), characters that are not UTF-8 or that GBK cannot hold
// become "?", and the text is cut to kMaxValueCharacters.
struct MendedValue {
    std::string value;
    std::string what;  // "控制字符改为空格", "…"; empty when nothing changed
};
MendedValue MendValue(const Column& column, std::string_view value);

}  // namespace zorbix::store
