// The report and the help document name their faces as Word and LibreOffice
// look them up: on a Linux desktop that maps SimSun and SimHei to Chinese
// Song and Hei faces (as Chinese desktops do), LibreOffice's PDF of each uses
// those faces and never falls back to a Japanese or Korean one.
#include <gtest/gtest.h>

#include <fstream>

#include "report/project_report.h"
#include "tests/report/report_fixture.h"
#include "tests/support/cli_runner.h"

namespace zorbix::report {
namespace {

namespace fs = std::filesystem;

// A font configuration of the system's own plus the two mappings.
fs::path ChineseDesktopFonts(const fs::path& scratch) {
    const fs::path file = scratch / "fonts.conf";
    std::ofstream(file) << R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <match target="pattern"><test name="family"><string>SimSun</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>AR PL SungtiL GB</string></edit>
  </match>
  <match target="pattern"><test name="family"><string>SimHei</string></test>
    <edit name="family" mode="prepend" binding="strong"><string>WenQuanYi Micro Hei</string></edit>
  </match>
</fontconfig>
)";
    return file;
}

// The names of the faces in LibreOffice's PDF of the document, as pdffonts
// lists them.
std::string PdfFaces(const fs::path& docx, const fs::path& scratch) {
    const std::string quiet = " >/dev/null 2>&1";
    std::system(("FONTCONFIG_FILE=" + testing::ShellQuote(ChineseDesktopFonts(scratch).string()) +
                 " soffice -env:UserInstallation=file://" + (scratch / "fonts-profile").string() +
                 " --headless --norestore --convert-to pdf --outdir " +
                 testing::ShellQuote(scratch.string()) + " " + testing::ShellQuote(docx.string()) +
                 quiet)
                    .c_str());
    const fs::path pdf = scratch / (docx.stem().string() + ".pdf");
    const fs::path listing = scratch / (docx.stem().string() + ".fonts");
    std::system(("pdffonts " + testing::ShellQuote(pdf.string()) + " > " +
                 testing::ShellQuote(listing.string()) + " 2>/dev/null")
                    .c_str());
    return testing::Slurp(listing);
}

bool HasTools() {
    return std::system(
               "command -v soffice pdffonts >/dev/null && "
               "fc-list | grep -q gbsn00lp && fc-list | grep -q wqy-microhei") == 0;
}

void ExpectChineseFaces(const std::string& faces) {
    ASSERT_NE(faces.find("BousungEG-Light-GB"), std::string::npos) << faces;  // SungtiL GB
    EXPECT_NE(faces.find("WenQuanYiMicroHei"), std::string::npos) << faces;
    for (const char* foreign : {"JP", "jp", "KR", "kr", "Gothic", "Mincho", "Batang", "Gulim"})
        EXPECT_EQ(faces.find(foreign), std::string::npos) << foreign << " in\n" << faces;
}

class ReportFonts : public ReportFixture {};

TEST_F(ReportFonts, TheReportUsesTheChineseSongAndHeiFaces) {
    if (!HasTools()) GTEST_SKIP() << "no LibreOffice, pdffonts or Chinese faces";
    AddDemo("201300000007", 11);
    ASSERT_TRUE(MakeProjectReport(records(), prompter, dir.path()));
    ExpectChineseFaces(PdfFaces(dir / "201300000007.docx", dir.path()));
}

TEST_F(ReportFonts, TheHelpDocumentUsesTheChineseSongAndHeiFaces) {
    if (!HasTools()) GTEST_SKIP() << "no LibreOffice, pdffonts or Chinese faces";
    const fs::path help = dir / "help.docx";
    fs::copy_file(fs::u8path(ZORBIX_HELP_DOCUMENT), help);
    ExpectChineseFaces(PdfFaces(help, dir.path()));
}

}  // namespace
}  // namespace zorbix::report
