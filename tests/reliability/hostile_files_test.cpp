// Hostile packages in every place the program reads one (plan workbook,
// summary template, report template): a zip bomb that declares gigabytes, one
// that lies about its size, entity expansion in a part and entry names that
// leave their folder. Each is refused with a message naming the file, and the
// memory of the process stays bounded.
#include "tests/reliability/hostile_files.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <functional>

#include "office/docx_package.h"
#include "office/xlsx_package.h"
#include "reconcile/plan_reconciliation.h"
#include "report/project_report.h"
#include "store/demo_projects.h"
#include "store/store.h"
#include "summary/summary_catalogue.h"
#include "summary/summary_run.h"
#include "tests/office/test_workbooks.h"
#include "tests/support/param_names.h"
#include "tests/support/recording_prompter.h"
#include "tests/support/temp_dir.h"

namespace zorbix::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kProgramDir = ZORBIX_TEMPLATE_DIR;
constexpr long kMemoryLimitMiB = 256;
constexpr const char* kEscapedName = "zorbix-escaped.xml";

// A place where the program reads a package.
struct Role {
    const char* name;
    std::string file_name;  // in the program directory
    // Puts the clean files of the role into the directory; returns the clean
    // package to make the hostile one from.
    std::function<fs::path(const fs::path& dir)> install;
    // Runs the operation; true when it reported success.
    std::function<bool(store::RecordSet&, RecordingPrompter&, const fs::path& dir)> run;
};

void PrintTo(const Role& c, std::ostream* os) { *os << c.name; }

fs::path InstallPlan(const fs::path& dir) {
    const auto clean = dir / ".clean-plan.xlsx";
    WriteXlsxParts(
        clean,
        "<row r=\"1\"><c r=\"B1\" t=\"inlineStr\"><is><t>项目编号</t></is></c></row>"
        "<row r=\"2\"><c r=\"B2\"><v>201300000001</v></c><c r=\"F2\"><v>10</v></c></row>");
    return clean;
}

fs::path InstallSummaryTemplates(const fs::path& dir) {
    for (const auto& s : summary::Summaries())
        fs::copy_file(kProgramDir / summary::TemplateFileName(s),
                      dir / summary::TemplateFileName(s));
    return kProgramDir / summary::TemplateFileName(summary::Summaries()[0]);
}

fs::path InstallReportTemplate(const fs::path&) { return kProgramDir / "2013模板.docx"; }

const Role kRoles[] = {
    {"PlanWorkbook", "2013计划.xlsx", InstallPlan,
     [](store::RecordSet& r, RecordingPrompter& p, const fs::path& dir) {
         return static_cast<bool>(reconcile::ReconcileWithPlan(r, p, dir));
     }},
    {"SummaryTemplate", summary::TemplateFileName(summary::Summaries()[0]), InstallSummaryTemplates,
     [](store::RecordSet& r, RecordingPrompter& p, const fs::path& dir) {
         const auto result = summary::RunAllSummaries(r, p, dir);
         EXPECT_EQ(result.failed.size(), 1u) << "the other workbooks are still written";
         return result.Complete();
     }},
    {"ReportTemplate", "2013模板.docx", InstallReportTemplate,
     [](store::RecordSet& r, RecordingPrompter& p, const fs::path& dir) {
         r.MoveFirst();
         return report::CommandReport(r, p, dir).IsDone();
     }},
};

// The part a hostile version replaces: the first sheet or the document.
std::string MainPart(const fs::path& package) {
    const office::ZipArchive zip(package);
    return package.extension() == ".docx" ? office::MainDocumentPart(zip)
                                          : office::FirstSheetPart(zip);
}

// The part's XML with the entity definitions in front and the last entity
// used as the root element's first content.
std::string WithLaughs(std::string xml) {
    if (xml.rfind("<?xml", 0) == 0) xml.erase(0, xml.find("?>") + 2);
    const std::size_t root_end = xml.find('>') + 1;
    return BillionLaughs(xml.substr(0, root_end), xml.substr(root_end));
}

struct Hostility {
    const char* name;
    const char* expected_words;  // in the message
    std::function<RawEntry(const std::string& part, const std::string& xml)> entry;
};

void PrintTo(const Hostility& c, std::ostream* os) { *os << c.name; }

const Hostility kHostilities[] = {
    {"BombDeclaringGigabytes", "解压后过大",
     [](const std::string& part, const std::string&) { return ZerosBomb(part, 3072, 3u << 30); }},
    {"BombLyingAboutItsSize", "损坏",
     [](const std::string& part, const std::string&) { return ZerosBomb(part, 3072, 4096); }},
    {"EntityExpansion", "文档类型定义",
     [](const std::string& part, const std::string& xml) { return Stored(part, WithLaughs(xml)); }},
    {"TenMillionTinyElements", "XML元素过多",
     [](const std::string& part, const std::string& xml) {
         return Deflated(part, Swollen(xml, "<w:p/>", 60));
     }},
    {"DotDotEntryName", "不安全的部件名",
     [](const std::string&, const std::string&) {
         return Stored(std::string("../../") + kEscapedName, "<x/>");
     }},
    {"BackslashEntryName", "不安全的部件名",
     [](const std::string&, const std::string&) {
         return Stored(std::string("..\\..\\") + kEscapedName, "<x/>");
     }},
    {"AbsoluteEntryName", "不安全的部件名",
     [](const std::string&, const std::string&) {
         return Stored(std::string("/tmp/") + kEscapedName, "<x/>");
     }},
};

using Case = std::tuple<Role, Hostility>;

class HostilePackage : public ::testing::TestWithParam<Case> {};

TEST_P(HostilePackage, IsRefusedNamingTheFileWithBoundedMemory) {
    const auto& [role, hostility] = GetParam();
    TempDir dir;
    store::Store store(dir.path());
    store::AddDemoProjects(store.records(), 5, 11);
    const fs::path clean = role.install(dir.path());
    const std::string part = MainPart(clean);
    const std::string xml = office::ZipArchive(clean).Read(part);
    const fs::path hostile = dir / role.file_name;
    fs::remove(hostile);
    RewriteWithPart(clean, hostile, hostility.entry(part, xml));

    RecordingPrompter prompter;
    const MemoryWatch memory;
    EXPECT_FALSE(role.run(store.records(), prompter, dir.path()));
    std::string said;
    for (const auto& text : prompter.Texts()) said += text + "\n";
    EXPECT_NE(said.find(role.file_name), std::string::npos) << said;
    EXPECT_NE(said.find(hostility.expected_words), std::string::npos) << said;
    EXPECT_LT(memory.GrowthMiB(), kMemoryLimitMiB);
    for (const fs::path& place : {dir.path(), dir.path().parent_path(), fs::path("/tmp")})
        EXPECT_FALSE(fs::exists(place / kEscapedName)) << place;
}

INSTANTIATE_TEST_SUITE_P(Places, HostilePackage,
                         ::testing::Combine(::testing::ValuesIn(kRoles),
                                            ::testing::ValuesIn(kHostilities)),
                         [](const auto& test) {
                             return std::string(std::get<0>(test.param).name) + "_" +
                                    std::get<1>(test.param).name;
                         });

// Shared strings that unpack to 60 MB of tiny items, in a plan workbook of
// a few hundred kilobytes.
TEST(HostileFiles, APlanOfTinySharedStringsIsRefusedWithBoundedMemory) {
    TempDir dir;
    store::Store store(dir.path());
    store::AddDemoProjects(store.records(), 5, 11);
    const fs::path clean = InstallPlan(dir.path());
    const std::string strings =
        "<?xml version=\"1.0\"?><sst xmlns=\"http://schemas.openxmlformats.org/"
        "spreadsheetml/2006/main\"></sst>";
    RewriteWithPart(clean, dir / "2013计划.xlsx",
                    Deflated("xl/sharedStrings.xml", Swollen(strings, "<si><t>a</t></si>", 60)));
    EXPECT_LT(fs::file_size(dir / "2013计划.xlsx"), 400u << 10);
    RecordingPrompter prompter;
    const MemoryWatch memory;
    EXPECT_FALSE(reconcile::ReconcileWithPlan(store.records(), prompter, dir.path()));
    std::string said;
    for (const auto& text : prompter.Texts()) said += text + "\n";
    EXPECT_NE(said.find("2013计划.xlsx”的xl/sharedStrings.xml的XML元素过多"), std::string::npos)
        << said;
    EXPECT_LT(memory.GrowthMiB(), kMemoryLimitMiB);
}

// One shared string of a megabyte, used by twenty thousand cells: each cell
// would hold its own copy (20 GB).
TEST(HostileFiles, APlanRepeatingALongSharedStringIsRefusedWithBoundedMemory) {
    TempDir dir;
    store::Store store(dir.path());
    store::AddDemoProjects(store.records(), 5, 11);
    std::string rows;
    for (int r = 1; r <= 20000; ++r) {
        const std::string n = std::to_string(r);
        rows += "<row r=\"" + n + "\"><c r=\"B" + n + "\" t=\"s\"><v>0</v></c></row>";
    }
    WriteXlsxParts(dir / "2013计划.xlsx", rows,
                   "<si><t>" + std::string(1 << 20, 'x') + "</t></si>");
    RecordingPrompter prompter;
    const MemoryWatch memory;
    EXPECT_FALSE(reconcile::ReconcileWithPlan(store.records(), prompter, dir.path()));
    std::string said;
    for (const auto& text : prompter.Texts()) said += text + "\n";
    EXPECT_NE(said.find("2013计划.xlsx”的第一张工作表中的文字过多"), std::string::npos) << said;
    EXPECT_LT(memory.GrowthMiB(), kMemoryLimitMiB);
}

TEST(HostileFiles, TheHandMadeBombUnpacksToItsFullSize) {
    // The bombs above are refused before they are unpacked; this proves the
    // construction is real (here at 256 MiB): streaming the part gives every
    // byte, and the CRC matches.
    TempDir dir;
    WriteRawZip(dir / "bomb.zip", {ZerosBomb("part.xml", 256, 256u << 20)});
    int error = 0;
    zip_t* zip = zip_open((dir / "bomb.zip").c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    ASSERT_NE(zip, nullptr) << error;
    zip_file_t* f = zip_fopen(zip, "part.xml", 0);
    ASSERT_NE(f, nullptr);
    std::string buffer(1 << 20, 'x');
    std::uint64_t total = 0;
    for (zip_int64_t n; (n = zip_fread(f, buffer.data(), buffer.size())) > 0;) total += n;
    EXPECT_EQ(zip_fclose(f), 0) << "the CRC matches";
    zip_discard(zip);
    EXPECT_EQ(total, 256ull << 20);
}

}  // namespace
}  // namespace zorbix::testing
