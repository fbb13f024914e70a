// Parsing and saving the XML parts of Office files so that what we do not
// touch survives: blanks in text kept, the declaration written once.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace zorbix::office {

// Parses a part; throws base::Failure naming `what` (file and part) when
// the XML is broken, carries a document type definition (entity
// definitions have no place in an Office part) or would take more memory
// parsed than any real part (office/xml_budget.h).
void ParseXmlPart(pugi::xml_document& doc, const std::string& bytes, std::string_view what);

// The options ParseXmlPart parses with, for readers that parse in place.
inline constexpr unsigned kPartParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata | pugi::parse_doctype;

// Throws base::Failure naming `what` when a parsed part carries a document
// type definition.
void RefuseDocumentType(const pugi::xml_document& doc, std::string_view what);

// The part's bytes again, without pretty-printing.
std::string SaveXmlPart(const pugi::xml_document& doc);

// Appends a node's text as it stands inside its saved part (raw format, no
// indentation, so a node reads the same alone as among its siblings).
void AppendSaved(pugi::xml_node node, std::string& to);

// An element's name without its namespace prefix: some writers spell
// "x:row" where others write "row".
std::string_view LocalName(pugi::xml_node node);

// Text without the control characters XML cannot hold (pugixml would write
// them raw and make the file unreadable); tab, CR and LF are kept.
std::string XmlSafeText(std::string_view text);

}  // namespace zorbix::office
