// A streaming XML reader for the parts of a workbook: bytes go in as they
// are unpacked, in blocks of any size, and come out as start tags, end tags
// and character data, so a sheet of hundreds of megabytes never stands
// whole in memory.
//
// It reads what Office parts are made of: UTF-8, elements with attributes in
// single or double quotes, the five predefined entities and character
// references, CDATA sections, comments, processing instructions and the XML
// declaration. A document type definition is refused outright (Office parts
// never carry one, and one that does is made to define entities). What a
// reader of workbooks must not take for data is refused as damaged: end tags
// that do not match, text or a second element outside the root, unknown
// entities, text that is not UTF-8, a document that ends early. Names are
// given without their namespace prefix ("x:row" is "row").
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"

namespace zorbix::office {

struct XmlAttribute {
    std::string_view name;   // without a namespace prefix
    std::string_view value;  // entities resolved
};
using XmlAttributes = std::span<const XmlAttribute>;

// The value of the attribute with this (local) name; nullptr when absent.
const std::string_view* FindAttribute(XmlAttributes attributes, std::string_view name);

// What the reader finds, in document order. The views are valid only
// during the call. Character data may come in several pieces.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void Start(std::string_view name, XmlAttributes attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view text) = 0;
};

// Why a part was refused: `reason` is the cause in the program's words
// ("第1234字节附近：结束标记</row>与开始标记<c>不对应"); `doctype` tells a
// document type definition from other damage.
class XmlStreamError : public base::Failure {
public:
    XmlStreamError(const std::string& reason, bool doctype)
        : base::Failure(reason), doctype_(doctype) {}
    bool doctype() const { return doctype_; }

private:
    bool doctype_;
};

class XmlStream {
public:
    explicit XmlStream(XmlHandler& handler) : handler_(handler) {}

    // Reads the next bytes; throws XmlStreamError, or what the handler threw.
    void Feed(std::string_view bytes);
    // The part has ended: throws XmlStreamError when the document is incomplete.
    void Finish();

private:
    // Each step reads one token at pos_; false when the buffer holds too
    // little of it, so more bytes are needed.
    bool Step(bool last);
    bool Characters(bool last);
    bool Markup();
    bool StartTag(std::size_t end);
    bool EndTag();
    bool Skipped(std::string_view close);
    bool Cdata();
    std::size_t TagEnd() const;
    void ParseAttributes(std::string_view inside, std::size_t offset);
    void DeliverText(std::string_view raw, bool decoded);
    std::string_view Decoded(std::string_view raw, std::string& out, std::size_t offset);
    [[noreturn]] void Damaged(const std::string& why, std::size_t at) const;

    XmlHandler& handler_;
    std::string buffer_;             // bytes not yet read
    std::size_t pos_ = 0;            // in buffer_
    std::uint64_t consumed_ = 0;     // bytes of the part before buffer_
    std::vector<std::string> open_;  // names of the open elements (reused)
    std::size_t depth_ = 0;
    bool root_seen_ = false;
    bool started_ = false;
    std::vector<XmlAttribute> attributes_;
    std::string values_;  // decoded attribute values of the current tag
    std::string text_;    // decoded character data
};

}  // namespace zorbix::office
