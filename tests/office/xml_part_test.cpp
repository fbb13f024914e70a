// Parsing Office parts: a part with a document type definition (the way to
// define expanding entities) is refused, whichever reader meets it.
#include "office/xml_part.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace zorbix::office {
namespace {

const std::string kLaughs =
    "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"
    "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><r><t>&b;</t></r>";

TEST(XmlPart, DocumentTypeDefinitionIsRefusedNamingThePart) {
    pugi::xml_document doc;
    try {
        ParseXmlPart(doc, kLaughs, "文件“x.xlsx”的xl/sharedStrings.xml");
        FAIL() << "accepted";
    } catch (const base::Failure& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("x.xlsx”的xl/sharedStrings.xml含有文档类型定义"), std::string::npos)
            << message;
    }
}

TEST(XmlPart, PlainPartWithDeclarationStillParses) {
    pugi::xml_document doc;
    ParseXmlPart(doc, "<?xml version=\"1.0\"?><r><t> </t></r>", "part");
    EXPECT_STREQ(doc.child("r").child_value("t"), " ");
}

}  // namespace
}  // namespace zorbix::office
