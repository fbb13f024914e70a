// Filling bookmarks of small Word documents written here, as Word and
// LibreOffice write them, and reading them back.
#include "office/docx_bookmarks.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "office/zip_archive.h"
#include "tests/support/temp_dir.h"

namespace zorbix::office {
namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
constexpr const char* kTail = "</w:body></w:document>";

void WriteDocx(const std::filesystem::path& file, const std::string& body) {
    WriteZip(file,
             {{"[Content_Types].xml", "<Types/>"},
              {"_rels/.rels",
               "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
               "officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
               "</Relationships>"},
              {"word/document.xml", kHead + body + kTail}});
}

std::string DocumentXml(const std::filesystem::path& file) {
    return ZipArchive(file).Read("word/document.xml");
}

std::string Empty(const std::string& name, int id) {
    const std::string n = std::to_string(id);
    return "<w:bookmarkStart w:id=\"" + n + "\" w:name=\"" + name + "\"/><w:bookmarkEnd w:id=\"" +
           n + "\"/>";
}

class DocxBookmarks : public ::testing::Test {
protected:
    std::map<std::string, std::string> FillAndRead(const std::string& body,
                                                   const std::vector<BookmarkText>& texts) {
        WriteDocx(dir / "in.docx", body);
        FillDocxBookmarks(dir / "in.docx", dir / "out.docx", texts);
        return ReadDocxBookmarks(dir / "out.docx");
    }
    testing::TempDir dir;
};

TEST_F(DocxBookmarks, EachBookmarkEnclosesItsTextWhateverItHolds) {
    struct Case {
        const char* what;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"empty", ""},
        {"Chinese", "Qorvath省科技计划项目"},
        {"markup characters", "a<b & c>d \"quoted\" 'single'"},
        {"leading and trailing blanks", "  two  "},
        {"tab", "a\tb"},
    };
    for (const auto& c : cases) {
        const auto texts = FillAndRead("<w:p>" + Empty("JB01", 1) + "</w:p>", {{"JB01", c.text}});
        EXPECT_EQ(texts.at("JB01"), c.text) << c.what;
    }
}

TEST_F(DocxBookmarks, EscapesMarkupSoTheDocumentStaysWellFormed) {
    FillAndRead("<w:p>" + Empty("A", 1) + "</w:p>", {{"A", "</w:t><w:b/>&amp;\""}});
    const std::string xml = DocumentXml(dir / "out.docx");
    EXPECT_NE(xml.find("&lt;/w:t&gt;&lt;w:b/&gt;&amp;amp;"), std::string::npos) << xml;
    EXPECT_EQ(ReadDocxBookmarks(dir / "out.docx").at("A"), "</w:t><w:b/>&amp;\"");
}

TEST_F(DocxBookmarks, LineBreaksOfEveryKindBecomeBreaks) {
    const auto texts = FillAndRead("<w:p>" + Empty("JDCG", 1) + "</w:p>",
                                   {{"JDCG", "第一行\r\n第二行\n第三行\r第四行\r\n"}});
    EXPECT_EQ(texts.at("JDCG"), "第一行\n第二行\n第三行\n第四行\n");
    const std::string xml = DocumentXml(dir / "out.docx");
    std::size_t breaks = 0;
    for (auto at = xml.find("<w:br/>"); at != std::string::npos; at = xml.find("<w:br/>", at + 1))
        ++breaks;
    EXPECT_EQ(breaks, 4u);
    EXPECT_EQ(xml.find('\r'), std::string::npos);
}

TEST_F(DocxBookmarks, ReplacesWhatTheBookmarkHeldAndKeepsItsFormatting) {
    const std::string body =
        "<w:p><w:r><w:t>前</w:t></w:r><w:bookmarkStart w:id=\"3\" w:name=\"X\"/>"
        "<w:r><w:rPr><w:b/><w:sz "
        "w:val=\"28\"/></w:rPr><w:t>旧值</w:t></w:r><w:r><w:t>也旧</w:t></w:r>"
        "<w:bookmarkEnd w:id=\"3\"/><w:r><w:t>后</w:t></w:r></w:p>";
    EXPECT_EQ(FillAndRead(body, {{"X", "新值"}}).at("X"), "新值");
    const std::string xml = DocumentXml(dir / "out.docx");
    EXPECT_EQ(xml.find("旧"), std::string::npos);
    EXPECT_NE(xml.find("<w:rPr><w:b/><w:sz w:val=\"28\"/></w:rPr><w:t xml:space=\"preserve\">新值"),
              std::string::npos)
        << xml;
    EXPECT_LT(xml.find("前"), xml.find("新值"));
    EXPECT_LT(xml.find("新值"), xml.find("后"));
}

TEST_F(DocxBookmarks, AnEmptyPlaceTakesTheParagraphMarksFormattingWithoutTrackedChanges) {
    const std::string body =
        "<w:p><w:pPr><w:rPr><w:ins w:id=\"9\" w:author=\"x\"/><w:i/></w:rPr></w:pPr>" +
        Empty("X", 1) + "</w:p>";
    FillAndRead(body, {{"X", "值"}});
    const std::string xml = DocumentXml(dir / "out.docx");
    EXPECT_NE(xml.find("<w:r><w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">值"),
              std::string::npos)
        << xml;
}

TEST_F(DocxBookmarks, TakesTheEndedStartWhenLibreOfficeWroteTwo) {
    const std::string body =
        "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"JB22\"/>"
        "<w:bookmarkStart w:id=\"2\" w:name=\"JB22\"/><w:bookmarkEnd w:id=\"2\"/></w:p>";
    EXPECT_EQ(FillAndRead(body, {{"JB22", "960100"}}).at("JB22"), "960100");
    const std::string xml = DocumentXml(dir / "out.docx");
    EXPECT_EQ(xml.find("w:id=\"1\""), std::string::npos) << "the unended start is dropped";
}

TEST_F(DocxBookmarks, AStartBetweenParagraphsMovesIntoTheNextParagraph) {
    const std::string body =
        "<w:bookmarkStart w:id=\"5\" w:name=\"Row\" w:colFirst=\"0\" w:colLast=\"1\"/>"
        "<w:p><w:r><w:t>旧</w:t></w:r></w:p><w:bookmarkEnd w:id=\"5\"/>";
    EXPECT_EQ(FillAndRead(body, {{"Row", "新"}}).at("Row"), "新");
}

TEST_F(DocxBookmarks, AFilledDocumentFillsAgain) {
    FillAndRead("<w:p>" + Empty("A", 1) + Empty("B", 2) + "</w:p>", {{"A", "一"}, {"B", "二"}});
    FillDocxBookmarks(dir / "out.docx", dir / "again.docx", {{"A", "三\n四"}, {"B", ""}});
    const auto texts = ReadDocxBookmarks(dir / "again.docx");
    EXPECT_EQ(texts.at("A"), "三\n四");
    EXPECT_EQ(texts.at("B"), "");
}

TEST_F(DocxBookmarks, ControlCharactersAreDroppedNotWrittenRaw) {
    EXPECT_EQ(FillAndRead("<w:p>" + Empty("A", 1) + "</w:p>", {{"A", std::string("a\x01\x1F"
                                                                                 "b",
                                                                                 4)}})
                  .at("A"),
              "ab");
}

TEST_F(DocxBookmarks, AMissingBookmarkFailsNamingItAndWritesNothing) {
    WriteDocx(dir / "in.docx", "<w:p>" + Empty("JB01", 1) + "</w:p>");
    try {
        FillDocxBookmarks(dir / "in.docx", dir / "out.docx", {{"JB01", "x"}, {"JB05", "y"}});
        FAIL() << "no failure";
    } catch (const base::Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("“JB05”"), std::string::npos) << failure.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.docx"));
}

TEST_F(DocxBookmarks, ANonDocumentFailsNamingTheFile) {
    WriteZip(dir / "in.docx", {{"a.txt", "x"}});
    try {
        FillDocxBookmarks(dir / "in.docx", dir / "out.docx", {});
        FAIL() << "no failure";
    } catch (const base::Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("in.docx"), std::string::npos) << failure.what();
    }
}

}  // namespace
}  // namespace zorbix::office
