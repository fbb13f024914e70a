#include "office/xlsx_package.h"

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

// Resolves a relationship target against the folder of xl/workbook.xml.
std::string ResolveTarget(std::string target) {
    if (!target.empty() && target.front() == '/') return target.substr(1);
    std::string base = "xl/";
    while (target.rfind("../", 0) == 0) {
        target = target.substr(3);
        const auto slash = base.find_last_of('/', base.size() - 2);
        base = slash == std::string::npos ? "" : base.substr(0, slash + 1);
    }
    return base + target;
}

}  // namespace

std::string FirstSheetPart(const ZipArchive& package) {
    const std::string file = base::QuotedFileName(package.file());
    pugi::xml_document workbook;
    ParseXmlPart(workbook, package.Read("xl/workbook.xml"),
                 base::MessageText("{1}的xl/workbook.xml", {file}));
    const pugi::xml_node sheet = workbook.child("workbook").child("sheets").child("sheet");
    const std::string id = sheet.attribute("r:id").value();
    if (!sheet || id.empty()) throw base::Failure(base::MessageText("{1}中没有工作表。", {file}));

    pugi::xml_document rels;
    ParseXmlPart(rels, package.Read("xl/_rels/workbook.xml.rels"),
                 base::MessageText("{1}的xl/_rels/workbook.xml.rels", {file}));
    for (pugi::xml_node rel : rels.child("Relationships").children("Relationship")) {
        if (id != rel.attribute("Id").value()) continue;
        const std::string part = ResolveTarget(rel.attribute("Target").value());
        if (!package.Has(part))
            throw base::Failure(base::MessageText("{1}缺少第一张工作表（{2}）。", {file, part}));
        return part;
    }
    throw base::Failure(base::MessageText("{1}中找不到第一张工作表的位置。", {file}));
}

}  // namespace zorbix::office
