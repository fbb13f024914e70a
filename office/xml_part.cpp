#include "office/xml_part.h"

#include "base/error.h"
#include "base/message_text.h"
#include "office/xml_budget.h"

namespace zorbix::office {

void ParseXmlPart(pugi::xml_document& doc, const std::string& bytes, std::string_view what) {
    RefuseOversizedXml(bytes, what);
    const pugi::xml_parse_result result =
        doc.load_buffer(bytes.data(), bytes.size(), kPartParseOptions, pugi::encoding_utf8);
    if (!result)
        throw base::Failure(
            base::MessageText("{1}的XML内容已损坏（{2}，第{3}字节）。",
                              {what, result.description(), std::to_string(result.offset)}));
    RefuseDocumentType(doc, what);
}

void RefuseDocumentType(const pugi::xml_document& doc, std::string_view what) {
    // Office parts never carry a document type definition; one that does is
    // made to define entities (the "billion laughs"), which we refuse rather
    // than read with its entities left unexpanded.
    for (pugi::xml_node node : doc.children())
        if (node.type() == pugi::node_doctype)
            throw base::Failure(base::MessageText(
                "{1}含有文档类型定义（DTD），Office文件中不允许，已拒绝读取。", {what}));
}

namespace {

// Saves straight into a string, without a stream's locale and buffering.
// Saves straight onto the end of a string.
struct StringWriter : pugi::xml_writer {
    explicit StringWriter(std::string& to) : bytes(to) {}
    std::string& bytes;
    void write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
};

}  // namespace

std::string SaveXmlPart(const pugi::xml_document& doc) {
    std::string bytes;
    StringWriter out(bytes);
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return bytes;
}

void AppendSaved(pugi::xml_node node, std::string& to) {
    StringWriter out(to);
    node.print(out, "", pugi::format_raw, pugi::encoding_utf8);
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

std::string_view LocalName(pugi::xml_node node) {
    const std::string_view name = node.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace zorbix::office
