// The reports written from the cut template hold, byte for byte, the main
// part that filling the parsed template's tree writes, for demo projects and
// for values with markup characters, line breaks, tabs, control characters,
// empty values and the exchange files' "." placeholder; the template's other
// parts are carried over unchanged.
#include <gtest/gtest.h>

#include "office/docx_fill_plan.h"
#include "office/docx_package.h"
#include "office/docx_tree_fill.h"
#include "office/xml_part.h"
#include "office/zip_archive.h"
#include "report/project_report.h"
#include "report/report_placements.h"
#include "tests/report/report_fixture.h"

namespace zorbix::report {
namespace {

class ReportFillIdentity : public ReportFixture {
protected:
    // The main part as the tree fill writes it for the current record.
    std::string TreeFilled() {
        office::ZipArchive package(TemplatePath(dir.path()));
        pugi::xml_document doc;
        office::ParseXmlPart(doc, package.Read(office::MainDocumentPart(package)), "template");
        office::FillBookmarkTree(doc, ReportTexts(records().Current()));
        return office::SaveXmlPart(doc);
    }

    void ExpectSameAsTree(const std::string& what) {
        const auto file = WriteProjectReport(records().Current(), dir.path());
        EXPECT_EQ(office::ZipArchive(file).Read("word/document.xml"), TreeFilled()) << what;
    }
};

TEST_F(ReportFillIdentity, TheTemplateIsCutNotFilledThroughTheTree) {
    AddDemo("201300000100");
    office::ZipArchive package(TemplatePath(dir.path()));
    pugi::xml_document doc;
    office::ParseXmlPart(doc, package.Read(office::MainDocumentPart(package)), "template");
    const auto texts = ReportTexts(records().Current());
    std::vector<std::string> names;
    for (const auto& t : texts) names.push_back(t.name);
    const auto plan = office::DocxFillPlan::Make(doc, names);
    ASSERT_TRUE(plan);
    std::string cut;
    plan->Render(texts, cut);
    EXPECT_EQ(cut, TreeFilled());
}

TEST_F(ReportFillIdentity, DemoProjectsAreFilledAsByTheTree) {
    for (std::uint64_t seed = 1; seed <= 12; ++seed) {
        AddDemo("2013000001" + std::to_string(10 + seed), seed);
        ExpectSameAsTree("seed " + std::to_string(seed));
    }
}

TEST_F(ReportFillIdentity, ValuesOfEveryKindAreFilledAsByTheTree) {
    AddDemo("201300000200");
    const std::vector<std::pair<std::string, std::string>> values = {
        {"JB01", "含<特殊>&\"字符\"的'项目' ]]> &amp;"},
        {"JDCG", "第一行\r\n第二行\n第三行\r第四行\r\n"},
        {"JB03", ""},
        {"JB04", "."},
        {"JB05", "\t缩进\t"},
        {"TBSJ", "2013-07-15"},
        {"JB22", "."},
        {"JG920", std::string("a\x01\x1F"
                              "b",
                              4)},
        {"JB21", "\r\n"},
    };
    for (const auto& [column, value] : values) records().SetValue(column, value);
    ExpectSameAsTree("special values");
}

TEST_F(ReportFillIdentity, EveryValueEmptyOrPlaceholder) {
    AddDemo("201300000300");
    int i = 0;
    for (const Placement& p : Placements())
        if (p.column != "JB02")
            records().SetValue(p.column, i++ % 2 ? "" : ".");  // the file's name
    ExpectSameAsTree("empty values");
}

TEST_F(ReportFillIdentity, TheTemplatesOtherPartsAreCarriedOver) {
    AddDemo("201300000400");
    const auto file = WriteProjectReport(records().Current(), dir.path());
    office::ZipArchive report(file), source(TemplatePath(dir.path()));
    auto names = source.Names();
    ASSERT_EQ(report.Names().size(), names.size());
    for (const auto& name : names)
        if (name != "word/document.xml") {
            EXPECT_EQ(report.Read(name), source.Read(name)) << name;
        }
}

}  // namespace
}  // namespace zorbix::report
