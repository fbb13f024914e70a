#include "office/workbook_parts.h"

#include <ctime>

#include "base/calendar_time.h"
#include "office/xml_escape.h"

namespace zorbix::office {
namespace {

constexpr const char* kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string ContentTypes(std::size_t sheets) {
    std::string xml = std::string(kDeclaration) +
                      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                      "content-types\"><Default Extension=\"rels\" "
                      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                      "<Override PartName=\"/docProps/core.xml\" "
                      "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
                      "<Override PartName=\"/xl/styles.xml\" "
                      "ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
                      "<Override PartName=\"/xl/workbook.xml\" "
                      "ContentType=\"application/"
                      "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
    for (std::size_t i = 1; i <= sheets; ++i)
        xml += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(i) +
               ".xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    return xml + "</Types>";
}

std::string PackageRelationships() {
    return std::string(kDeclaration) +
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
           "relationships\"><Relationship Id=\"rId1\" Type=\"" +
           kRelationships +
           "/officeDocument\" Target=\"xl/workbook.xml\"/><Relationship Id=\"rId2\" "
           "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
           "core-properties\" Target=\"docProps/core.xml\"/></Relationships>";
}

std::string Workbook(const std::vector<SheetEntry>& sheets) {
    std::string xml = std::string(kDeclaration) +
                      "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                      "main\" xmlns:r=\"" +
                      kRelationships +
                      "\"><bookViews><workbookView xWindow=\"240\" yWindow=\"15\" "
                      "windowWidth=\"16095\" windowHeight=\"9660\"/></bookViews><sheets>";
    std::string names;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        xml += "<sheet name=\"" + XmlEscaped(sheets[i].name, XmlEscape::Attribute) +
               "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        if (!sheets[i].print_titles.empty())
            names += "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"" +
                     std::to_string(i) + "\">" +
                     XmlEscaped(sheets[i].print_titles, XmlEscape::Text) + "</definedName>";
        if (!sheets[i].filter_range.empty())
            names += "<definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"" +
                     std::to_string(i) + "\" hidden=\"1\">" +
                     XmlEscaped(sheets[i].filter_range, XmlEscape::Attribute) + "</definedName>";
    }
    xml += "</sheets>";
    if (!names.empty()) xml += "<definedNames>" + names + "</definedNames>";
    return xml + "<calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>";
}

std::string WorkbookRelationships(std::size_t sheets) {
    std::string xml = std::string(kDeclaration) +
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                      "relationships\">";
    for (std::size_t i = 1; i <= sheets; ++i)
        xml += "<Relationship Id=\"rId" + std::to_string(i) + "\" Type=\"" + kRelationships +
               "/worksheet\" Target=\"worksheets/sheet" + std::to_string(i) + ".xml\"/>";
    xml += "<Relationship Id=\"rId" + std::to_string(sheets + 1) + "\" Type=\"" + kRelationships +
           "/styles\" Target=\"styles.xml\"/>";
    return xml + "</Relationships>";
}

// Style 0 plain, 1 a heading (bold text), 2 text: what is typed into a
// text column stays text ("007" stays 007).
std::string Styles() {
    return std::string(kDeclaration) +
           "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"@\"/></numFmts>"
           "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family "
           "val=\"2\"/></font><font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family "
           "val=\"2\"/></font></fonts><fills count=\"2\"><fill><patternFill "
           "patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill>"
           "</fills><borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/>"
           "</border></borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" "
           "fillId=\"0\" borderId=\"0\"/></cellStyleXfs><cellXfs count=\"3\"><xf numFmtId=\"0\" "
           "fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/><xf numFmtId=\"164\" "
           "fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" "
           "applyFont=\"1\"/><xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
           "xfId=\"0\" applyNumberFormat=\"1\"/></cellXfs><cellStyles count=\"1\"><cellStyle "
           "name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles><dxfs count=\"0\"/>"
           "<tableStyles count=\"0\" defaultTableStyle=\"TableStyleMedium9\" "
           "defaultPivotStyle=\"PivotStyleLight16\"/></styleSheet>";
}

std::string CoreProperties() {
    char now[32] = "";
    const std::time_t t = std::time(nullptr);
    const std::tm utc = base::UtcTimeOf(t).value_or(std::tm{});
    std::strftime(now, sizeof now, "%Y-%m-%dT%H:%M:%SZ", &utc);
    const std::string stamp = std::string("xsi:type=\"dcterms:W3CDTF\">") + now;
    return std::string(kDeclaration) +
           "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/"
           "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dcterms:created " +
           stamp + "</dcterms:created><dcterms:modified " + stamp +
           "</dcterms:modified></cp:coreProperties>";
}

}  // namespace

std::vector<std::pair<std::string, std::string>> WorkbookParts(
    const std::vector<SheetEntry>& sheets) {
    return {{"[Content_Types].xml", ContentTypes(sheets.size())},
            {"_rels/.rels", PackageRelationships()},
            {"docProps/core.xml", CoreProperties()},
            {"xl/workbook.xml", Workbook(sheets)},
            {"xl/_rels/workbook.xml.rels", WorkbookRelationships(sheets.size())},
            {"xl/styles.xml", Styles()}};
}

}  // namespace zorbix::office
