// The cut fill writes the bytes the tree fill writes, for parts shaped as
// Word and LibreOffice write them and for values of every kind, alone and in
// every combination of empty and filled; parts it cannot cut are refused.
#include "office/docx_fill_plan.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "office/docx_tree_fill.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
constexpr const char* kTail = "</w:body></w:document>";

std::string Empty(const std::string& name, int id) {
    const std::string n = std::to_string(id);
    return "<w:bookmarkStart w:id=\"" + n + "\" w:name=\"" + name + "\"/><w:bookmarkEnd w:id=\"" +
           n + "\"/>";
}

const std::vector<std::string> kValues = {
    "",
    "Qorvath省科技计划项目",
    "a<b & c>d \"quoted\" 'single' ]]> &amp;",
    "第一行\r\n第二行\n第三行\r第四行\r\n",
    "\r\n",
    "a\tb\t",
    std::string("a\x01\x1F"
                "b",
                4),
    std::string("\x02", 1),
    "  two  ",
    ".",
    "\xC3 invalid \xFF bytes",
};

class DocxFillPlanTest : public ::testing::Test {
protected:
    void Parse(const std::string& body) { ParseXmlPart(part, kHead + body + kTail, "test"); }

    std::string TreeFilled(const std::vector<BookmarkText>& texts) {
        pugi::xml_document doc;
        doc.reset(part);
        FillBookmarkTree(doc, texts);
        return SaveXmlPart(doc);
    }

    std::string Cut(const DocxFillPlan& plan, const std::vector<BookmarkText>& texts) {
        std::string out;
        plan.Render(texts, out);
        return out;
    }

    // Every value in every bookmark, and every pattern of empty and filled.
    void ExpectSameForAllValues(const std::vector<std::string>& names) {
        const auto plan = DocxFillPlan::Make(part, names);
        ASSERT_TRUE(plan);
        for (std::size_t v = 0; v < kValues.size(); ++v) {
            std::vector<BookmarkText> texts;
            for (std::size_t i = 0; i < names.size(); ++i)
                texts.push_back({names[i], kValues[(v + i) % kValues.size()]});
            ASSERT_TRUE(plan->Fits(texts));
            EXPECT_EQ(Cut(*plan, texts), TreeFilled(texts)) << "values from " << v;
        }
        for (unsigned mask = 0; mask < (1u << names.size()); ++mask) {
            std::vector<BookmarkText> texts;
            for (std::size_t i = 0; i < names.size(); ++i)
                texts.push_back({names[i], mask & (1u << i) ? "值&" + std::to_string(i) : ""});
            EXPECT_EQ(Cut(*plan, texts), TreeFilled(texts)) << "empty pattern " << mask;
        }
    }

    pugi::xml_document part;
};

TEST_F(DocxFillPlanTest, EmptyPlacesAloneInTheirParagraphs) {
    Parse("<w:p><w:pPr></w:pPr>" + Empty("A", 1) +
          "</w:p><w:p><w:pPr><w:jc w:val=\"right\"/>"
          "<w:rPr><w:sz w:val=\"18\"/></w:rPr></w:pPr>" +
          Empty("B", 2) + "</w:p>");
    ExpectSameForAllValues({"A", "B"});
}

TEST_F(DocxFillPlanTest, PlacesBetweenTextRunsOfOneParagraph) {
    Parse("<w:p><w:pPr></w:pPr>" + Empty("Y", 1) + "<w:r><w:t>年</w:t></w:r>" + Empty("M", 2) +
          "<w:r><w:t>月</w:t></w:r>" + Empty("D", 3) + "<w:r><w:t>日</w:t></w:r></w:p>");
    ExpectSameForAllValues({"Y", "M", "D"});
    ExpectSameForAllValues({"D", "Y", "M"});
}

TEST_F(DocxFillPlanTest, HeldTextAndFormattingAreReplaced) {
    Parse(
        "<w:p><w:r><w:t>前</w:t></w:r><w:bookmarkStart w:id=\"3\" w:name=\"X\"/>"
        "<w:r><w:rPr><w:b/><w:ins w:id=\"9\" w:author=\"x\"/><w:sz w:val=\"28\"/></w:rPr>"
        "<w:t>旧值</w:t></w:r><w:r><w:t>也旧</w:t></w:r><w:bookmarkEnd w:id=\"3\"/>"
        "<w:r><w:t>后</w:t></w:r></w:p>");
    ExpectSameForAllValues({"X"});
}

TEST_F(DocxFillPlanTest, ParagraphMarkFormattingWithTrackedChanges) {
    Parse("<w:p><w:pPr><w:rPr><w:ins w:id=\"9\" w:author=\"x\"/><w:i/></w:rPr></w:pPr>" +
          Empty("X", 1) + Empty("Z", 2) + "</w:p>");
    ExpectSameForAllValues({"X", "Z"});
}

TEST_F(DocxFillPlanTest, LibreOfficesDoubleStartAndAStartBetweenParagraphs) {
    Parse(
        "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"JB22\"/>"
        "<w:bookmarkStart w:id=\"2\" w:name=\"JB22\"/><w:bookmarkEnd w:id=\"2\"/></w:p>"
        "<w:bookmarkStart w:id=\"5\" w:name=\"Row\" w:colFirst=\"0\" w:colLast=\"1\"/>"
        "<w:p><w:r><w:rPr><w:u/></w:rPr><w:t>旧</w:t></w:r></w:p><w:bookmarkEnd w:id=\"5\"/>");
    ExpectSameForAllValues({"JB22", "Row"});
}

TEST_F(DocxFillPlanTest, ABookmarkFilledTwiceAndOneInsideAnother) {
    Parse("<w:p><w:pPr><w:rPr><w:b/></w:rPr></w:pPr><w:bookmarkStart w:id=\"1\" w:name=\"Out\"/>" +
          Empty("In", 2) + "<w:r><w:t>x</w:t></w:r><w:bookmarkEnd w:id=\"1\"/></w:p>");
    ExpectSameForAllValues({"In", "Out"});
    ExpectSameForAllValues({"Out", "In", "Out"});
}

TEST_F(DocxFillPlanTest, AFormattingThatMayDependOnAnEarlierValueIsNotCut) {
    // Filled after A, B would take the formatting of A's unformatted run,
    // which is there only when A has a value; filled first, it takes none.
    Parse("<w:p>" + Empty("A", 1) + Empty("B", 2) + "</w:p>");
    EXPECT_FALSE(DocxFillPlan::Make(part, {"A", "B"}));
    ExpectSameForAllValues({"B", "A"});
}

TEST_F(DocxFillPlanTest, APartHoldingThePlaceholderCharactersIsNotCut) {
    Parse(
        "<w:p><w:r><w:t>\xEE\x80\x80"
        "0\xEE\x80\x81</w:t></w:r>" +
        Empty("A", 1) + "</w:p>");
    EXPECT_FALSE(DocxFillPlan::Make(part, {"A"}));
}

TEST_F(DocxFillPlanTest, AMissingBookmarkFailsAsTheTreeFillDoes) {
    Parse("<w:p>" + Empty("A", 1) + "</w:p>");
    try {
        DocxFillPlan::Make(part, {"A", "JB05"});
        FAIL() << "no failure";
    } catch (const base::Failure& failure) {
        EXPECT_EQ(std::string(failure.what()), "报表模板中缺少书签“JB05”。");
    }
}

TEST_F(DocxFillPlanTest, FitsOnlyTheNamesItWasCutFor) {
    Parse("<w:p><w:pPr><w:rPr><w:b/></w:rPr></w:pPr>" + Empty("A", 1) + Empty("B", 2) + "</w:p>");
    const auto plan = DocxFillPlan::Make(part, {"A", "B"});
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->Fits({{"A", "1"}, {"B", ""}}));
    EXPECT_FALSE(plan->Fits({{"B", "1"}, {"A", ""}}));
    EXPECT_FALSE(plan->Fits({{"A", "1"}}));
}

}  // namespace
}  // namespace zorbix::office
