#include "office/xml_part.h"

#include <sstream>

#include "store/error.h"

namespace zorbix::office {

void ParseXmlPart(pugi::xml_document& doc, const std::string& bytes, std::string_view what) {
    const unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata;
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
    if (!result)
        throw store::Failure(std::string(what) + "的XML内容已损坏（" + result.description() + "，第" +
                             std::to_string(result.offset) + "字节）。");
}

std::string SaveXmlPart(const pugi::xml_document& doc) {
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

std::string XmlSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') continue;
        out += c;
    }
    return out;
}

}  // namespace zorbix::office
