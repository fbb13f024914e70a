// Messages for the user made from one template each: "{1}", "{2}", … in the
// template stand for the arguments in their order, so a message reads as
// one sentence where it is written instead of fragments glued together.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zorbix::base {

// The template with every "{n}" (n from 1 to the number of arguments)
// replaced by the n-th argument; any other text, other braces included,
// stays as it is.
std::string MessageText(std::string_view text, std::initializer_list<std::string_view> arguments);

}  // namespace zorbix::base
