#include "office/xlsx_template.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "base/file_identity.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/xlsx_package.h"
#include "office/xlsx_sheet_edit.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

std::string Named(const std::filesystem::path& file, std::string_view part) {
    return base::MessageText("{1}的{2}", {base::QuotedFileName(file), part});
}

// Templates a thread keeps at the most: the twelve of the summaries, with
// room to spare; the one used longest ago goes first.
constexpr std::size_t kKeptTemplates = 16;

struct Kept {
    std::filesystem::path file;
    base::FileIdentity identity;
    std::string bytes;  // the file as prepared
    std::shared_ptr<const XlsxTemplate> prepared;
};

// The file's bytes, nothing when it cannot be read. A template is a few
// dozen KB: comparing it whole costs microseconds, and catches a file
// rewritten in place with the same size within one tick of the file
// system's clock, which its identity alone would miss.
std::optional<std::string> BytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) return std::nullopt;
    return bytes;
}

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
    stored = StoredPackage::Read(package, sheet_part, {{"xl/workbook.xml", workbook}});
}

std::shared_ptr<const XlsxTemplate> PreparedXlsxTemplate(const std::filesystem::path& file) {
    // One cache per thread: no lock, and no two threads read one open
    // package at once (libzip's archives are not to be shared).
    thread_local std::vector<Kept> kept;  // the most recently used last
    const std::optional<base::FileIdentity> identity = base::IdentityOf(file);
    std::optional<std::string> bytes = identity ? BytesOf(file) : std::nullopt;
    const auto found =
        std::find_if(kept.begin(), kept.end(), [&](const Kept& k) { return k.file == file; });
    if (found != kept.end()) {
        Kept entry = std::move(*found);
        kept.erase(found);
        if (identity && entry.identity == *identity && bytes && entry.bytes == *bytes) {
            kept.push_back(std::move(entry));
            return kept.back().prepared;
        }
    }
    auto prepared = std::make_shared<const XlsxTemplate>(file);
    // Kept only when the file was the same before and after it was read.
    if (bytes && base::IdentityOf(file) == identity && BytesOf(file) == bytes) {
        if (kept.size() == kKeptTemplates) kept.erase(kept.begin());
        kept.push_back({file, *identity, std::move(*bytes), prepared});
    }
    return prepared;
}

}  // namespace zorbix::office
