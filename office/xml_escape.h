// The one escape of text written into XML by hand: &, < and > as entities,
// and in attribute values the double quote too. Everything else, UTF-8
// included, goes through as it is.
#pragma once

#include <string>
#include <string_view>

namespace zorbix::office {

enum class XmlEscape { Text, Attribute };

// Appends `text` escaped to `out`.
void AppendXmlEscaped(std::string& out, std::string_view text, XmlEscape kind = XmlEscape::Text);

// `text` escaped.
std::string XmlEscaped(std::string_view text, XmlEscape kind = XmlEscape::Text);

}  // namespace zorbix::office
