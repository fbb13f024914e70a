// A package copied from its stored entries with one part replaced: every
// other part unchanged, the new part readable, the zip whole.
#include "office/stored_package.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>

#include "office/zip_archive.h"
#include "tests/support/temp_dir.h"

namespace zorbix::office {
namespace {

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

class StoredPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteZip(dir / "in.zip", {{"[Content_Types].xml", "<Types/>"},
                                  {"word/document.xml", std::string(5000, 'x')},
                                  {"word/图片说明.xml", "<说明>非ASCII的名字</说明>"},
                                  {"docProps/core.xml", "<core/>"}});
    }
    testing::TempDir dir;
};

TEST_F(StoredPackageTest, OtherPartsStayAndTheReplacedPartComesLast) {
    ZipArchive source(dir / "in.zip");
    const auto stored = StoredPackage::Read(source, "word/document.xml");
    ASSERT_TRUE(stored);
    const std::string part =
        "<w:document>新的正文 &amp; " + std::string(3000, 'y') + "</w:document>";
    for (int level : {1, 6, 12}) {
        std::string bytes = "kept before";
        stored->Assemble(part, level, dir / "out.zip", bytes);
        WriteBytes(dir / "out.zip", bytes.substr(11));
        ZipArchive copy(dir / "out.zip");
        EXPECT_EQ(copy.Names(),
                  (std::vector<std::string>{"[Content_Types].xml", "word/图片说明.xml",
                                            "docProps/core.xml", "word/document.xml"}));
        for (const auto& name : source.Names())
            if (name != "word/document.xml") {
                EXPECT_EQ(copy.Read(name), source.Read(name)) << name;
            }
        EXPECT_EQ(copy.Read("word/document.xml"), part) << "level " << level;
    }
}

// A part fixed once keeps its place and carries its own content in every
// copy; the others stay as stored.
TEST_F(StoredPackageTest, FixedPartsKeepTheirPlaceWithTheirNewContent) {
    ZipArchive source(dir / "in.zip");
    const std::string fixed = "<Types 新=\"是\">" + std::string(2000, 'z') + "</Types>";
    const auto stored =
        StoredPackage::Read(source, "word/document.xml", {{"[Content_Types].xml", fixed}});
    ASSERT_TRUE(stored);
    for (const std::string part : {"<w:document/>", "<w:document>第二份</w:document>"}) {
        std::string bytes;
        stored->Assemble(part, 3, dir / "out.zip", bytes);
        WriteBytes(dir / "out.zip", bytes);
        ZipArchive copy(dir / "out.zip");
        EXPECT_EQ(copy.Names(),
                  (std::vector<std::string>{"[Content_Types].xml", "word/图片说明.xml",
                                            "docProps/core.xml", "word/document.xml"}));
        EXPECT_EQ(copy.Read("[Content_Types].xml"), fixed);
        EXPECT_EQ(copy.Read("docProps/core.xml"), "<core/>");
        EXPECT_EQ(copy.Read("word/document.xml"), part);
    }
    EXPECT_FALSE(StoredPackage::Read(source, "word/document.xml", {{"xl/workbook.xml", "<w/>"}}))
        << "a fixed part the package lacks is left to libzip";
}

// The new parts carry the times of the entries they replace, not the time
// of making: two copies of the same template and data are the same file.
TEST_F(StoredPackageTest, NewPartsKeepTheTimesOfTheEntriesTheyReplace) {
    // A template made long ago (2000-01-01).
    int error = 0;
    ::zip* old = zip_open((dir / "in.zip").c_str(), 0, &error);
    ASSERT_TRUE(old);
    for (zip_int64_t i = 0; i < zip_get_num_entries(old, 0); ++i)
        ASSERT_EQ(zip_file_set_mtime(old, static_cast<zip_uint64_t>(i), 946684800, 0), 0);
    ASSERT_EQ(zip_close(old), 0);
    ZipArchive source(dir / "in.zip");
    const auto stored = StoredPackage::Read(source, "word/document.xml",
                                            {{"docProps/core.xml", "<core 新=\"1\"/>"}});
    ASSERT_TRUE(stored);
    std::string bytes;
    stored->Assemble("<w:document/>", 6, dir / "out.zip", bytes);
    WriteBytes(dir / "out.zip", bytes);
    ZipArchive copy(dir / "out.zip");
    for (const char* name : {"word/document.xml", "docProps/core.xml"}) {
        zip_stat_t before;
        zip_stat_t after;
        ASSERT_EQ(zip_stat(source.handle(), name, 0, &before), 0);
        ASSERT_EQ(zip_stat(copy.handle(), name, 0, &after), 0);
        EXPECT_EQ(after.mtime, before.mtime) << name;
    }
}

TEST_F(StoredPackageTest, APackageWithoutThePartIsLeftToLibzip) {
    ZipArchive source(dir / "in.zip");
    EXPECT_FALSE(StoredPackage::Read(source, "word/missing.xml"));
}

TEST_F(StoredPackageTest, AnEmptyPartIsAnEmptyEntry) {
    ZipArchive source(dir / "in.zip");
    std::string bytes;
    StoredPackage::Read(source, "docProps/core.xml")->Assemble("", 6, dir / "out.zip", bytes);
    WriteBytes(dir / "out.zip", bytes);
    EXPECT_EQ(ZipArchive(dir / "out.zip").Read("docProps/core.xml"), "");
}

}  // namespace
}  // namespace zorbix::office
