#include "office/zip_archive.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>

#include "base/error.h"
#include "office/xlsx_package.h"
#include "tests/support/temp_dir.h"

namespace zorbix::office {
namespace {

TEST(ZipArchive, CopiesWithReplacedPartsAndKeepsTheRest) {
    testing::TempDir dir;
    WriteZip(dir / "a.zip", {{"keep.txt", "unchanged"}, {"change.xml", "<old/>"}});
    {
        ZipArchive source(dir / "a.zip");
        WriteZipCopy(source, dir / "b.zip", {{"change.xml", "<new/>"}, {"added.txt", "neu"}});
    }
    ZipArchive copy(dir / "b.zip");
    EXPECT_EQ(copy.Read("keep.txt"), "unchanged");
    EXPECT_EQ(copy.Read("change.xml"), "<new/>");
    EXPECT_EQ(copy.Read("added.txt"), "neu");
    EXPECT_EQ(copy.Names().size(), 3u);
}

TEST(ZipArchive, RefusesWhatIsNotAZipNamingTheFile) {
    testing::TempDir dir;
    std::ofstream(dir / "x.xlsx") << "not a zip at all";
    try {
        ZipArchive z(dir / "x.xlsx");
        FAIL();
    } catch (const base::Failure& e) {
        EXPECT_NE(std::string(e.what()).find((dir / "x.xlsx").string()), std::string::npos);
    }
    EXPECT_THROW(ZipArchive(dir / "missing.xlsx"), base::Failure);
}

TEST(ZipArchive, NamesAFolderAsAFolder) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir / "2013模板.docx");
    try {
        ZipArchive zip(dir / "2013模板.docx");
        FAIL() << "a folder opened";
    } catch (const base::Failure& e) {
        EXPECT_EQ(std::string(e.what()),
                  "文件“" + (dir / "2013模板.docx").string() +
                      "”是一个文件夹，不是文件。请把它移走，再放入正确的文件。");
    }
}

TEST(ZipArchive, RefusesPartsThatWouldUnpackTooLarge) {
    testing::TempDir dir;
    WriteZip(dir / "bomb.zip", {{"big.xml", std::string(kMaxPartBytes + 1, '0')}});
    EXPECT_LT(std::filesystem::file_size(dir / "bomb.zip"), 1u << 20);
    ZipArchive z(dir / "bomb.zip");
    EXPECT_THROW(z.Read("big.xml"), base::Failure);
}

TEST(ZipArchive, RefusesEntryNamesThatLeaveTheFolder) {
    testing::TempDir dir;
    WriteZip(dir / "evil.zip", {{"../../etc/evil", "x"}});
    EXPECT_THROW(ZipArchive(dir / "evil.zip"), base::Failure);
}

TEST(ZipArchive, NeverWritesOverItsOwnSource) {
    testing::TempDir dir;
    WriteZip(dir / "a.zip", {{"p", "1"}});
    ZipArchive source(dir / "a.zip");
    EXPECT_THROW(WriteZipCopy(source, dir / "a.zip", {}), base::Failure);
    EXPECT_EQ(source.Read("p"), "1");
}

TEST(XlsxPackage, FindsTheFirstSheetThroughTheRelationships) {
    testing::TempDir dir;
    WriteZip(
        dir / "w.xlsx",
        {{"xl/workbook.xml",
          R"(<workbook xmlns:r="r"><sheets><sheet name="A" r:id="rId7"/></sheets></workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships><Relationship Id="rId7" Target="worksheets/data.xml"/></Relationships>)"},
         {"xl/worksheets/data.xml", "<worksheet/>"}});
    EXPECT_EQ(FirstSheetPart(ZipArchive(dir / "w.xlsx")), "xl/worksheets/data.xml");
}

}  // namespace
}  // namespace zorbix::office
