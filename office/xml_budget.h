// The memory a parsed XML part would take, estimated from its bytes before
// it is parsed. A part's size is bounded (kMaxPartBytes), but a part of tiny
// elements ("<w:p/>" ten million times) takes fifteen times its size once
// parsed: such a part is refused instead. No template part and no plan
// workbook of the survey comes near the limit.
#pragma once

#include <cstddef>
#include <string_view>

namespace zorbix::office {

// What parsing builds: an element per start tag, a text node per run of
// characters between tags, an attribute per '=' at the most.
struct XmlCounts {
    std::size_t elements = 0;
    std::size_t texts = 0;
    std::size_t attributes = 0;
};

// The parsed form of a part may take this much memory at the most.
inline constexpr std::size_t kMaxParsedXmlBytes = std::size_t{96} << 20;

XmlCounts CountXml(std::string_view bytes);

// Bytes the parsed form of a part with these counts takes, about.
std::size_t ParsedXmlBytes(const XmlCounts& counts);

// Counts the part and throws base::Failure naming `what` (file and part)
// when its parsed form would pass kMaxParsedXmlBytes; returns the counts.
XmlCounts RefuseOversizedXml(std::string_view bytes, std::string_view what);

}  // namespace zorbix::office
