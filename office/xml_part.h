// Parsing and saving the XML parts of Office files so that what we do not
// touch survives: blanks in text kept, the declaration written once.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace zorbix::office {

// Parses a part; throws store::Failure naming `what` (file and part) when
// the XML is broken.
void ParseXmlPart(pugi::xml_document& doc, const std::string& bytes, std::string_view what);

// The part's bytes again, without pretty-printing.
std::string SaveXmlPart(const pugi::xml_document& doc);

// Text without the control characters XML cannot hold (pugixml would write
// them raw and make the file unreadable); tab, CR and LF are kept.
std::string XmlSafeText(std::string_view text);

}  // namespace zorbix::office
