#include "templates/report_docx_xml.h"

#include "office/xml_escape.h"

namespace zorbix::templates {
namespace {

constexpr std::string_view kMain = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view kRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string Attr(std::string_view name, const std::string& value) {
    return " " + std::string(name) + "=\"" + value + "\"";
}

std::string AlignValue(Align align) {
    switch (align) {
        case Align::Center: return "center";
        case Align::Right: return "right";
        case Align::Both: return "both";
        case Align::Left: break;
    }
    return "left";
}

std::string CellProps(const Cell& cell, int width) {
    std::string xml = "<w:tcPr><w:tcW" + Attr("w:w", std::to_string(width)) + " w:type=\"dxa\"/>";
    if (cell.span > 1) xml += "<w:gridSpan" + Attr("w:val", std::to_string(cell.span)) + "/>";
    if (cell.merge == Cell::Merge::Start) xml += "<w:vMerge w:val=\"restart\"/>";
    if (cell.merge == Cell::Merge::Continue) xml += "<w:vMerge/>";
    if (cell.rule)
        xml +=
            "<w:tcBorders><w:bottom w:val=\"single\" w:sz=\"6\" w:space=\"0\" "
            "w:color=\"000000\"/></w:tcBorders>";
    if (cell.shaded) xml += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"EDEDED\"/>";
    return xml + "<w:vAlign w:val=\"" + (cell.top ? "top" : "center") + "\"/></w:tcPr>";
}

std::string Styles() {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") +
           "<w:styles xmlns:w=\"" + std::string(kMain) +
           "\"><w:docDefaults><w:rPrDefault><w:rPr>"
           "<w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" "
           "w:eastAsia=\"SimSun\" "
           "w:cs=\"Times New Roman\"/><w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/>"
           "<w:lang w:val=\"en-US\" w:eastAsia=\"zh-CN\"/></w:rPr></w:rPrDefault>"
           "<w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/>"
           "</w:pPr></w:pPrDefault></w:docDefaults>"
           "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
           "w:val=\"Normal\"/>"
           "<w:qFormat/></w:style>"
           "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name "
           "w:val=\"Normal Table\"/>"
           "<w:tblPr><w:tblCellMar><w:left w:w=\"85\" w:type=\"dxa\"/><w:right w:w=\"85\" "
           "w:type=\"dxa\"/>"
           "</w:tblCellMar></w:tblPr></w:style></w:styles>";
}

std::string ContentTypes() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
           "<Override PartName=\"/word/styles.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
           "<Override PartName=\"/word/settings.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
           "<Override PartName=\"/word/fontTable.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.fontTable+xml\"/>"
           "<Override PartName=\"/docProps/core.xml\" ContentType=\"application/"
           "vnd.openxmlformats-package.core-properties+xml\"/></Types>";
}

std::string PackageRels() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           std::string(kRel) +
           "/officeDocument\" "
           "Target=\"word/document.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/"
           "relationships/metadata/core-properties\" "
           "Target=\"docProps/core.xml\"/></Relationships>";
}

std::string DocumentRels() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"" +
           std::string(kRel) +
           "/styles\" Target=\"styles.xml\"/>"
           "<Relationship Id=\"rId2\" Type=\"" +
           std::string(kRel) +
           "/settings\" Target=\"settings.xml\"/>"
           "<Relationship Id=\"rId3\" Type=\"" +
           std::string(kRel) +
           "/fontTable\" Target=\"fontTable.xml\"/>"
           "</Relationships>";
}

// The faces by the names Word and LibreOffice look up on every system:
// SimSun and SimHei, with their Chinese names as alternatives and the GB2312
// character set (86), so a client without them substitutes a Chinese Song or
// Hei face, not a Japanese or Korean one.
std::string FontTable() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<w:fonts xmlns:w=\"" +
           std::string(kMain) +
           "\"><w:font w:name=\"SimSun\"><w:altName w:val=\"宋体\"/>"
           "<w:panose1 w:val=\"02010600030101010101\"/><w:charset w:val=\"86\"/>"
           "<w:family w:val=\"auto\"/><w:pitch w:val=\"variable\"/></w:font>"
           "<w:font w:name=\"SimHei\"><w:altName w:val=\"黑体\"/>"
           "<w:panose1 w:val=\"02010609060101010101\"/><w:charset w:val=\"86\"/>"
           "<w:family w:val=\"modern\"/><w:pitch w:val=\"fixed\"/></w:font>"
           "<w:font w:name=\"Times New Roman\"><w:panose1 w:val=\"02020603050405020304\"/>"
           "<w:charset w:val=\"00\"/><w:family w:val=\"roman\"/><w:pitch w:val=\"variable\"/>"
           "</w:font></w:fonts>";
}

std::string Settings() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<w:settings xmlns:w=\"" +
           std::string(kMain) +
           "\"><w:defaultTabStop w:val=\"420\"/>"
           "<w:themeFontLang w:val=\"en-US\" w:eastAsia=\"zh-CN\"/>"
           "<w:characterSpacingControl w:val=\"compressPunctuation\"/></w:settings>";
}

std::string CoreProps(std::string_view title) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
           "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>" +
           office::XmlEscaped(title, office::XmlEscape::Attribute) +
           "</dc:title><dc:creator>ZORBIX</dc:creator></cp:coreProperties>";
}

}  // namespace

std::string RunProps(const Font& font) {
    // The document default is 10.5 pt Song (SimSun): only what differs is
    // written.
    std::string xml;
    if (font.heading) xml += "<w:rFonts w:eastAsia=\"SimHei\"/>";
    if (font.bold) xml += "<w:b/><w:bCs/>";
    if (font.half_points != Font{}.half_points) {
        const std::string size = std::to_string(font.half_points);
        xml += "<w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/>";
    }
    return xml.empty() ? xml : "<w:rPr>" + xml + "</w:rPr>";
}

std::string Run(std::string_view text, const Font& font) {
    return "<w:r>" + RunProps(font) + "<w:t xml:space=\"preserve\">" +
           office::XmlEscaped(text, office::XmlEscape::Attribute) + "</w:t></w:r>";
}

std::string Bookmark(std::string_view name, int id) {
    const std::string n = std::to_string(id);
    return "<w:bookmarkStart w:id=\"" + n + "\" w:name=\"" +
           office::XmlEscaped(name, office::XmlEscape::Attribute) + "\"/><w:bookmarkEnd w:id=\"" +
           n + "\"/>";
}

std::string Paragraph(const std::string& content, const ParaStyle& style) {
    std::string props = "<w:pPr>";
    if (style.page_break_before) props += "<w:pageBreakBefore/>";
    if (style.keep_next) props += "<w:keepNext/>";
    if (style.before || style.after)
        props += "<w:spacing" + Attr("w:before", std::to_string(style.before)) +
                 Attr("w:after", std::to_string(style.after)) + "/>";
    if (style.indent || style.first_line)
        props += "<w:ind" + Attr("w:left", std::to_string(style.indent)) +
                 Attr("w:firstLine", std::to_string(style.first_line)) + "/>";
    if (style.align != Align::Left)
        props += "<w:jc" + Attr("w:val", AlignValue(style.align)) + "/>";
    props += RunProps(style.font) + "</w:pPr>";
    return "<w:p>" + props + content + "</w:p>";
}

std::string PageBreak() { return "<w:p><w:r><w:br w:type=\"page\"/></w:r></w:p>"; }

void Table::Row(const std::vector<Cell>& cells, int min_height) {
    rows_ += "<w:tr><w:trPr><w:cantSplit/>";
    if (min_height > 0) rows_ += "<w:trHeight" + Attr("w:val", std::to_string(min_height)) + "/>";
    rows_ += "</w:trPr>";
    std::size_t column = 0;
    for (const Cell& cell : cells) {
        int width = 0;
        for (int i = 0; i < cell.span && column < grid_.size(); ++i) width += grid_[column++];
        const std::string content = cell.content.empty() ? "<w:p/>" : cell.content;
        rows_ += "<w:tc>" + CellProps(cell, width) + content + "</w:tc>";
    }
    rows_ += "</w:tr>";
}

std::string Table::Xml() const {
    int total = 0;
    for (int w : grid_) total += w;
    std::string xml = "<w:tbl><w:tblPr><w:tblW" + Attr("w:w", std::to_string(total)) +
                      " w:type=\"dxa\"/><w:jc w:val=\"center\"/>";
    if (borders_) {
        xml += "<w:tblBorders>";
        for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
            xml += std::string("<w:") + side + " w:val=\"single\" w:sz=\"" +
                   (std::string_view(side).starts_with("inside") ? "4" : "8") +
                   "\" w:space=\"0\" w:color=\"000000\"/>";
        xml += "</w:tblBorders>";
    }
    xml +=
        "<w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:left w:w=\"85\" w:type=\"dxa\"/>"
        "<w:right w:w=\"85\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid>";
    for (int w : grid_) xml += "<w:gridCol" + Attr("w:w", std::to_string(w)) + "/>";
    return xml + "</w:tblGrid>" + rows_ + "</w:tbl>";
}

std::vector<std::pair<std::string, std::string>> DocxPackage(const std::string& body,
                                                             std::string_view title) {
    const std::string document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document xmlns:w=\"" +
        std::string(kMain) + "\" xmlns:r=\"" + std::string(kRel) + "\"><w:body>" + body +
        "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1134\" w:right=\"1134\" "
        "w:bottom=\"1134\" w:left=\"1134\" w:header=\"567\" w:footer=\"567\" w:gutter=\"0\"/>"
        "</w:sectPr></w:body></w:document>";
    return {
        {"[Content_Types].xml", ContentTypes()}, {"_rels/.rels", PackageRels()},
        {"word/document.xml", document},         {"word/_rels/document.xml.rels", DocumentRels()},
        {"word/styles.xml", Styles()},           {"word/settings.xml", Settings()},
        {"word/fontTable.xml", FontTable()},     {"docProps/core.xml", CoreProps(title)}};
}

}  // namespace zorbix::templates
