#include "office/docx_package.h"

#include <string_view>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/xml_part.h"

namespace zorbix::office {

std::string MainDocumentPart(const ZipArchive& package) {
    const std::string what = base::QuotedFileName(package.file());
    if (!package.Has("_rels/.rels"))
        throw base::Failure(base::MessageText("{1}不是Word文档（缺少包关系）。", {what}));
    pugi::xml_document rels;
    ParseXmlPart(rels, package.Read("_rels/.rels"), what);
    constexpr std::string_view kType = "/officeDocument";
    for (auto rel : rels.child("Relationships").children("Relationship")) {
        const std::string_view type = rel.attribute("Type").value();
        if (type.size() < kType.size() || type.substr(type.size() - kType.size()) != kType)
            continue;
        std::string target = rel.attribute("Target").value();
        if (!target.empty() && target.front() == '/') target.erase(0, 1);
        if (package.Has(target)) return target;
    }
    throw base::Failure(base::MessageText("{1}不是Word文档（找不到正文部分）。", {what}));
}

}  // namespace zorbix::office
