#include "office/xlsx_template.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "base/file_identity.h"
#include "base/file_names.h"
#include "office/xlsx_package.h"
#include "office/xlsx_sheet_edit.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

std::string Named(const std::filesystem::path& file, std::string_view part) {
    return base::QuotedFileName(file) + "的" + std::string(part);
}

// Templates a thread keeps at the most: the twelve of the summaries, with
// room to spare; the one used longest ago goes first.
constexpr std::size_t kKeptTemplates = 16;

struct Kept {
    std::filesystem::path file;
    base::FileIdentity identity;
    std::shared_ptr<const XlsxTemplate> prepared;
};

}  // namespace

XlsxTemplate::XlsxTemplate(const std::filesystem::path& file)
    : package(file), sheet_part(FirstSheetPart(package)) {
    pugi::xml_document doc;
    ParseXmlPart(doc, package.Read(sheet_part), Named(file, sheet_part));
    sheet = std::make_unique<SheetPlan>(doc, Named(file, sheet_part));
    pugi::xml_document book;
    ParseXmlPart(book, package.Read("xl/workbook.xml"), Named(file, "xl/workbook.xml"));
    RequestFullCalculation(book.document_element());
    workbook = SaveXmlPart(book);
}

std::shared_ptr<const XlsxTemplate> PreparedXlsxTemplate(const std::filesystem::path& file) {
    // One cache per thread: no lock, and a template is never shared
    // between threads while one fills it.
    thread_local std::vector<Kept> kept;  // the most recently used last
    const std::optional<base::FileIdentity> identity = base::IdentityOf(file);
    const auto found =
        std::find_if(kept.begin(), kept.end(), [&](const Kept& k) { return k.file == file; });
    if (found != kept.end()) {
        Kept entry = std::move(*found);
        kept.erase(found);
        if (identity && entry.identity == *identity) {
            kept.push_back(std::move(entry));
            return kept.back().prepared;
        }
    }
    auto prepared = std::make_shared<const XlsxTemplate>(file);
    // Kept only when the file was the same before and after it was read.
    if (identity && base::IdentityOf(file) == identity) {
        if (kept.size() == kKeptTemplates) kept.erase(kept.begin());
        kept.push_back({file, *identity, prepared});
    }
    return prepared;
}

}  // namespace zorbix::office
