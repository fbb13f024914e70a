// The streaming XML reader: what it hands on must not depend on where the
// blocks of a part happen to end, and what is not a well-formed part must
// be refused, never taken for data.
#include "office/xml_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace zorbix::testing {
namespace {

using office::XmlAttributes;
using office::XmlStream;
using office::XmlStreamError;

// Writes what it is told as one line of text: <name a=v>, text, </name>.
class Transcript : public office::XmlHandler {
public:
    std::string out;

    void Start(std::string_view name, XmlAttributes attributes) override {
        out += "<" + std::string(name);
        for (const auto& a : attributes)
            out += " " + std::string(a.name) + "=" + std::string(a.value);
        out += ">";
    }
    void End(std::string_view name) override { out += "</" + std::string(name) + ">"; }
    void Text(std::string_view text) override { out += text; }
};

// The transcript of `xml` fed in blocks of `block` bytes.
std::string Read(std::string_view xml, std::size_t block) {
    Transcript transcript;
    XmlStream stream(transcript);
    for (std::size_t at = 0; at < xml.size(); at += block) stream.Feed(xml.substr(at, block));
    stream.Finish();
    return transcript.out;
}

struct Case {
    const char* xml;
    const char* transcript;
};

TEST(XmlStream, ReadsWhatOfficePartsHoldWhereverTheBlocksEnd) {
    const Case cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<a/>", "<a></a>"},
        {"\xEF\xBB\xBF<a>x</a>", "<a>x</a>"},
        {"<x:row r=\"1\" x:spans='1:3'><x:c/></x:row>", "<row r=1 spans=1:3><c></c></row>"},
        {"<t>&lt;&gt;&amp;&quot;&apos;&#65;&#x4E2D;&#x1F600;</t>",
         "<t><>&\"'A中\xF0\x9F\x98\x80</t>"},
        {"<t a=\"1 &amp; 2\" b='x\"y' c=\"a>b\"/>", "<t a=1 & 2 b=x\"y c=a>b></t>"},
        {"<t>a<!-- <b> -->b<?pi x?>c<![CDATA[<&>]]>d</t>", "<t>abc<&>d</t>"},
        {"<t>1\r\n2\r3\n4&#13;&#10;5</t>", "<t>1\n2\n3\n4\r\n5</t>"},
        {"<t a=\"x\r\ny\tz\"/>", "<t a=x y z></t>"},
        {"<t xml:space=\"preserve\">  中文  </t >", "<t space=preserve>  中文  </t>"},
        {"<a>\n  <b\n   c = \"1\"\n  />\n</a>\n", "<a>\n  <b c=1></b>\n</a>"},
    };
    for (const Case& c : cases)
        for (const std::size_t block :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, std::size_t{1} << 20})
            EXPECT_EQ(Read(c.xml, block), c.transcript) << c.xml << " in blocks of " << block;
}

TEST(XmlStream, LongTextComesInPiecesThatSplitNoCharacterOrReference) {
    std::string text;
    for (int i = 0; i < 40000; ++i) text += i % 3 == 0 ? "中&amp;\r\n" : "文字";
    std::string expected = text;
    for (std::size_t at; (at = expected.find("&amp;")) != std::string::npos;)
        expected.replace(at, 5, "&");
    for (std::size_t at; (at = expected.find("\r\n")) != std::string::npos;)
        expected.replace(at, 2, "\n");
    for (const std::size_t block : {std::size_t{4093}, std::size_t{65536}, std::size_t{1} << 22})
        EXPECT_EQ(Read("<t>" + text + "</t>", block), "<t>" + expected + "</t>") << block;
}

TEST(XmlStream, RefusesWhatIsNotAWellFormedPart) {
    const char* damaged[] = {
        "<a><b></a></b>",        // end tags that do not match
        "<a></a><b/>",           // a second root
        "x<a/>",                 // text outside the root
        "<a>&nbsp;</a>",         // an entity no Office part defines
        "<a>&#0;</a>",           // a character XML cannot carry
        "<a>\x01</a>",           // the same, as a byte
        "<a>\xC3\x28</a>",       // not UTF-8
        "<a>\xED\xA0\x80</a>",   // a surrogate half in UTF-8
        "<a b=1/>",              // an attribute without quotes
        "<a b=\"<\"/>",          // '<' inside an attribute
        "<a b=\"1\"c=\"2\"/>",   // attributes without a space between
        "<a><b>",                // ends early
        "<a><b",                 // ends inside a tag
        "<a><!-- unclosed",      // ends inside a comment
        "",                      // no element at all
        "<a></a",                // ends inside an end tag
        "<!ELEMENT a ANY><a/>",  // markup that is not allowed
        "</a>",                  // an end tag first
    };
    for (const char* xml : damaged) {
        for (const std::size_t block : {std::size_t{1}, std::size_t{64}}) {
            try {
                Read(xml, block);
                ADD_FAILURE() << "read: " << xml;
            } catch (const XmlStreamError& e) {
                EXPECT_FALSE(e.doctype()) << xml;
                EXPECT_NE(std::string(e.what()).find("字节附近"), std::string::npos) << e.what();
            }
        }
    }
}

TEST(XmlStream, RefusesADocumentTypeDefinitionBeforeReadingIt) {
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY l \"lol\">]><a>&l;</a>";
    for (const std::size_t block : {std::size_t{1}, std::size_t{5}, laughs.size()}) {
        try {
            Read(laughs, block);
            ADD_FAILURE() << "read in blocks of " << block;
        } catch (const XmlStreamError& e) {
            EXPECT_TRUE(e.doctype());
        }
    }
}

TEST(XmlStream, AMarkupWithoutEndIsRefusedBeforeItFillsTheMemory) {
    Transcript transcript;
    XmlStream stream(transcript);
    stream.Feed("<a><!--");
    const std::string block(1 << 16, 'x');
    EXPECT_THROW(for (int i = 0; i < 64; ++i) stream.Feed(block), XmlStreamError);
}

}  // namespace
}  // namespace zorbix::testing
