#include "office/xlsx_styles.h"

#include <cctype>
#include <charconv>
#include <map>

#include "base/file_names.h"
#include "base/message_text.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

// The built-in formats that are dates or times (ids 14 to 22, 45 to 47,
// and the East Asian ones 27 to 36 and 50 to 58).
bool IsBuiltInDate(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

int IntOf(const char* text) {
    int value = -1;
    const std::string_view s = text;
    std::from_chars(s.data(), s.data() + s.size(), value);
    return value;
}

}  // namespace

bool IsDateFormat(std::string_view code) {
    bool quoted = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        if (c == '"')
            quoted = true;
        else if (c == '\\' || c == '_' || c == '*')
            ++i;  // the next character is literal
        else if (c == '[') {
            // [h] and [mm] are elapsed times; [$-804] and [Red] are not.
            const auto close = code.find(']', i);
            if (close == std::string_view::npos) return false;
            const auto inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() &&
                std::string_view("hHmMsS").find(inside[0]) != std::string_view::npos)
                return true;
            i = close;
        } else if (std::string_view("dDmMyYhHsS").find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

std::string WorkbookPart(const office::ZipArchive& package, std::string_view type) {
    const char* rels_name = "xl/_rels/workbook.xml.rels";
    if (!package.Has(rels_name)) return "";
    pugi::xml_document rels;
    office::ParseXmlPart(
        rels, package.Read(rels_name),
        base::MessageText("{1}的{2}", {base::QuotedFileName(package.file()), rels_name}));
    for (pugi::xml_node rel : rels.document_element().children()) {
        if (!std::string_view(rel.attribute("Type").value()).ends_with(type)) continue;
        std::string target = rel.attribute("Target").value();
        return target.starts_with('/') ? target.substr(1) : "xl/" + target;
    }
    return "";
}

std::vector<bool> DateStyles(const office::ZipArchive& package) {
    const std::string part = WorkbookPart(package, "/styles");
    if (part.empty() || !package.Has(part)) return {};
    pugi::xml_document doc;
    office::ParseXmlPart(
        doc, package.Read(part),
        base::MessageText("{1}的{2}", {base::QuotedFileName(package.file()), part}));
    const pugi::xml_node sheet = doc.document_element();
    std::map<int, bool> custom;
    for (pugi::xml_node f : sheet.child("numFmts").children("numFmt"))
        custom[IntOf(f.attribute("numFmtId").value())] =
            IsDateFormat(f.attribute("formatCode").value());
    std::vector<bool> dates;
    for (pugi::xml_node xf : sheet.child("cellXfs").children("xf")) {
        const int id = IntOf(xf.attribute("numFmtId").value());
        const auto it = custom.find(id);
        dates.push_back(it != custom.end() ? it->second : IsBuiltInDate(id));
    }
    return dates;
}

}  // namespace zorbix::office
