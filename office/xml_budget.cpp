#include "office/xml_budget.h"

#include <cstring>
#include <string>

#include "base/error.h"
#include "base/message_text.h"

namespace zorbix::office {
namespace {

// pugixml's node and attribute records on a 64-bit machine, with the
// allocator's pages around them.
constexpr std::size_t kNodeBytes = 72;
constexpr std::size_t kAttributeBytes = 48;

}  // namespace

XmlCounts CountXml(std::string_view bytes) {
    XmlCounts counts;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    for (; p < end; ++p) {
        switch (*p) {
            case '<':
                if (p + 1 < end && p[1] != '/' && p[1] != '?' && p[1] != '!') ++counts.elements;
                break;
            case '>':
                if (p + 1 < end && p[1] != '<') ++counts.texts;
                break;
            case '=': ++counts.attributes; break;
            default: break;
        }
    }
    return counts;
}

std::size_t ParsedXmlBytes(const XmlCounts& counts) {
    return (counts.elements + counts.texts) * kNodeBytes + counts.attributes * kAttributeBytes;
}

XmlCounts RefuseOversizedXml(std::string_view bytes, std::string_view what) {
    const XmlCounts counts = CountXml(bytes);
    const std::size_t parsed = ParsedXmlBytes(counts);
    if (parsed > kMaxParsedXmlBytes)
        throw base::Failure(base::MessageText(
            "{1}的XML元素过多（{2}个元素，读入需要约{3}MB内存），远超调查所需，已拒绝读取。",
            {what, std::to_string(counts.elements), std::to_string(parsed >> 20)}));
    return counts;
}

}  // namespace zorbix::office
