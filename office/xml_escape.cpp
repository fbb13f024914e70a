#include "office/xml_escape.h"

namespace zorbix::office {

void AppendXmlEscaped(std::string& out, std::string_view text, XmlEscape kind) {
    const bool quotes = kind == XmlEscape::Attribute;
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* entity = nullptr;
        if (c == '&')
            entity = "&amp;";
        else if (c == '<')
            entity = "&lt;";
        else if (c == '>')
            entity = "&gt;";
        else if (c == '"' && quotes)
            entity = "&quot;";
        if (!entity) continue;
        out.append(text.data() + plain, i - plain);
        out += entity;
        plain = i + 1;
    }
    out.append(text.data() + plain, text.size() - plain);
}

std::string XmlEscaped(std::string_view text, XmlEscape kind) {
    std::string out;
    out.reserve(text.size());
    AppendXmlEscaped(out, text, kind);
    return out;
}

}  // namespace zorbix::office
