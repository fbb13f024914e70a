#include "office/docx_bookmarks.h"

#include <memory>
#include <optional>
#include <string_view>

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/file_identity.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/protected_targets.h"
#include "office/docx_fill_plan.h"
#include "office/docx_package.h"
#include "office/docx_tree_fill.h"
#include "office/stored_package.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

bool Is(const pugi::xml_node& node, std::string_view name) { return name == node.name(); }

// One walk in document order; text goes to every bookmark open there.
class BookmarkReader {
public:
    explicit BookmarkReader(const BookmarkIndex& index) : index_(index) {}

    void Walk(pugi::xml_node node) {
        for (auto child = node.first_child(); child; child = child.next_sibling()) {
            if (Is(child, "w:bookmarkStart"))
                Open(child);
            else if (Is(child, "w:bookmarkEnd"))
                open_.erase(child.attribute("w:id").value());
            else if (Is(child, "w:t"))
                Add(child.text().get());
            else if (Is(child, "w:br") || Is(child, "w:cr"))
                Add("\n");
            else if (Is(child, "w:tab") && Is(node, "w:r"))
                Add("\t");
            else
                Walk(child);
        }
    }
    std::map<std::string, std::string> texts;

private:
    void Open(pugi::xml_node start) {
        const std::string id = start.attribute("w:id").value();
        if (!index_.ends.count(id)) return;
        const std::string name = start.attribute("w:name").value();
        texts[name];
        open_[id] = name;
    }
    void Add(std::string_view text) {
        for (const auto& [id, name] : open_) texts[name] += text;
    }

    const BookmarkIndex& index_;
    std::map<std::string, std::string> open_;  // id -> name
};

// A template read once per run: a run fills it for every project. When its
// main part can be cut (office/docx_fill_plan.h) and its package copied as
// stored entries (office/stored_package.h), a report is its slices joined
// with the values, deflated, and the stored entries around it; otherwise a
// copy of the parsed tree is filled and the package copied through libzip.
// It is read again when the file is no longer the one read (replaced,
// rewritten or removed).
struct ParsedTemplate {
    std::filesystem::path file;
    std::optional<base::FileIdentity> identity;  // none: read for one fill only
    std::unique_ptr<ZipArchive> package;
    std::string part;
    pugi::xml_document doc;
    std::unique_ptr<StoredPackage> stored;
    // The plan for the names last filled; cut_names tells for which names a
    // cut was tried, so that a part that cannot be cut is not tried again.
    std::optional<DocxFillPlan> plan;
    std::vector<std::string> cut_names;
};

// The deflate level of a report's main part: the fastest level that keeps a
// report within 10 % of its size at level 6. Measured on the report
// template with demo values, libdeflate's level 4 takes a quarter of the
// time of zlib's level 5 (the level the reports had) and 10 % less than its
// own level 5, for a report 7 % larger than at level 6 (11.0 KB against
// 10.3 KB; level 5: 4 %, zlib's level 5: 5 %); level 3 grows it by 12 %,
// levels 1 and 2 by almost 20 %.
constexpr int kPartLevel = 4;

std::unique_ptr<ParsedTemplate> ReadTemplate(const std::filesystem::path& source) {
    auto parsed = std::make_unique<ParsedTemplate>();
    parsed->file = source;
    parsed->package = std::make_unique<ZipArchive>(source);
    parsed->part = MainDocumentPart(*parsed->package);
    ParseXmlPart(parsed->doc, parsed->package->Read(parsed->part), base::QuotedFileName(source));
    parsed->stored = StoredPackage::Read(*parsed->package, parsed->part);
    return parsed;
}

ParsedTemplate& TemplateOf(const std::filesystem::path& source) {
    // One per thread: a fill never shares a tree or a plan with another thread.
    thread_local std::unique_ptr<ParsedTemplate> cached;
    const auto identity = base::IdentityOf(source);
    if (cached && identity && cached->file == source && cached->identity == identity)
        return *cached;
    cached.reset();
    auto parsed = ReadTemplate(source);
    // Kept only when the file was the same before and after it was read.
    if (identity && base::IdentityOf(source) == identity) {
        parsed->identity = identity;
        cached = std::move(parsed);
        return *cached;
    }
    thread_local std::unique_ptr<ParsedTemplate> once;
    once = std::move(parsed);
    return *once;
}

std::vector<std::string> NamesOf(const std::vector<BookmarkText>& texts) {
    std::vector<std::string> names;
    names.reserve(texts.size());
    for (const auto& t : texts) names.push_back(t.name);
    return names;
}

// The plan for these texts, cut on first use; null when the part is filled
// through the tree. Throws base::Failure as the fill does (a missing bookmark).
const DocxFillPlan* PlanFor(ParsedTemplate& t, const std::vector<BookmarkText>& texts) {
    if (!t.stored) return nullptr;
    if (t.plan && t.plan->Fits(texts)) return &*t.plan;
    auto names = NamesOf(texts);
    if (names == t.cut_names) return nullptr;
    t.plan.reset();
    t.cut_names.clear();
    t.plan = DocxFillPlan::Make(t.doc, names);
    t.cut_names = std::move(names);
    return t.plan ? &*t.plan : nullptr;
}

// As the libzip copy refuses them: a protected target by its own message,
// then the template itself. The writer asks about protection again, so the
// question costs a stat only for a target that is the template.
void RefuseOverwritingTemplate(const ParsedTemplate& t, const std::filesystem::path& target) {
    bool same = false;
    if (t.identity) {
        const auto now = base::IdentityOf(target);
        same = now && now->device == t.identity->device && now->inode == t.identity->inode;
    } else {
        std::error_code ec;
        same = std::filesystem::equivalent(t.file, target, ec);
    }
    if (!same) return;
    base::RefuseProtectedTarget(target);
    throw base::Failure(base::MessageText("不能把{1}写回它自己。", {base::QuotedFileName(target)}));
}

void WriteFromPlan(const ParsedTemplate& t, const DocxFillPlan& plan,
                   const std::filesystem::path& target, const std::vector<BookmarkText>& texts) {
    // Kept per thread: a run of reports reuses the memory instead of asking
    // the system for new pages each time.
    thread_local std::string part, file;
    part.clear();
    plan.Render(texts, part);
    RefuseOverwritingTemplate(t, target);
    file.clear();
    t.stored->Assemble(part, kPartLevel, target, file);
    base::WriteFileAtomically(target, file);
}

}  // namespace

void FillDocxBookmarks(const std::filesystem::path& source, const std::filesystem::path& target,
                       const std::vector<BookmarkText>& texts) {
    ParsedTemplate& parsed = TemplateOf(source);
    if (const DocxFillPlan* plan = PlanFor(parsed, texts)) {
        WriteFromPlan(parsed, *plan, target, texts);
        return;
    }
    pugi::xml_document doc;
    doc.reset(parsed.doc);
    FillBookmarkTree(doc, texts);
    WriteZipCopy(*parsed.package, target, {{parsed.part, SaveXmlPart(doc)}});
}

std::map<std::string, std::string> ReadDocxBookmarks(const std::filesystem::path& file) {
    ZipArchive package(file);
    pugi::xml_document doc;
    ParseXmlPart(doc, package.Read(MainDocumentPart(package)), base::QuotedFileName(file));
    const BookmarkIndex index = IndexBookmarks(doc);
    BookmarkReader reader(index);
    reader.Walk(doc);
    return std::move(reader.texts);
}

}  // namespace zorbix::office
