#include "office/docx_bookmarks.h"

#include <memory>
#include <string_view>
#include <unordered_map>

#include "base/error.h"
#include "base/file_identity.h"
#include "base/file_names.h"
#include "office/docx_package.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

using base::Failure;

bool Is(const pugi::xml_node& node, std::string_view name) { return name == node.name(); }

// Every bookmark start by name and every end by id, in one pass.
struct BookmarkIndex {
    std::unordered_map<std::string, std::vector<pugi::xml_node>> starts;
    std::unordered_map<std::string, pugi::xml_node> ends;
};

void IndexInto(const pugi::xml_node& node, BookmarkIndex& index) {
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (Is(child, "w:bookmarkStart"))
            index.starts[child.attribute("w:name").value()].push_back(child);
        else if (Is(child, "w:bookmarkEnd"))
            index.ends.emplace(child.attribute("w:id").value(), child);
        else
            IndexInto(child, index);
    }
}

// The start of that name whose end exists (LibreOffice writes a second,
// unended start for empty table-cell bookmarks), with its end; other starts
// of the same name are dropped. Missing: a failure naming the bookmark.
std::pair<pugi::xml_node, pugi::xml_node> TakeBookmark(BookmarkIndex& index,
                                                       const std::string& name) {
    auto found = index.starts.find(name);
    pugi::xml_node start, end;
    if (found != index.starts.end()) {
        for (const auto& candidate : found->second) {
            auto e = index.ends.find(candidate.attribute("w:id").value());
            if (e != index.ends.end() && !start) start = candidate, end = e->second;
        }
    }
    if (!start) throw base::Failure("报表模板中缺少书签“" + name + "”。");
    for (auto& other : found->second)
        if (other != start) other.parent().remove_child(other);
    found->second = {start};
    return {start, end};
}

// The next element in document order after node's subtree.
pugi::xml_node NextOutside(pugi::xml_node node) {
    while (node && !node.next_sibling()) node = node.parent();
    return node ? node.next_sibling() : pugi::xml_node();
}

pugi::xml_node FirstParagraphFrom(pugi::xml_node node) {
    for (; node; node = NextOutside(node)) {
        if (Is(node, "w:p")) return node;
        if (auto p = node.find_node([](const pugi::xml_node& n) { return Is(n, "w:p"); })) return p;
    }
    return {};
}

// The paragraph that holds the start; a start standing between paragraphs
// (Word writes such at table rows) moves into the next paragraph.
pugi::xml_node ParagraphOf(pugi::xml_node start, const std::string& name) {
    pugi::xml_node p = start.parent();
    if (Is(p, "w:p")) return p;
    p = FirstParagraphFrom(NextOutside(start));
    if (!p) throw base::Failure("报表模板中书签“" + name + "”之后没有可以填写的段落。");
    if (auto props = p.child("w:pPr"))
        p.insert_move_after(start, props);
    else
        p.prepend_move(start);
    return p;
}

pugi::xml_node RunPropertiesNear(pugi::xml_node start, const std::vector<pugi::xml_node>& held,
                                 pugi::xml_node p) {
    for (const auto& n : held)
        if (Is(n, "w:r") && n.child("w:rPr")) return n.child("w:rPr");
    for (auto n = start.previous_sibling(); n; n = n.previous_sibling())
        if (Is(n, "w:r")) return n.child("w:rPr");
    for (auto n = start.next_sibling(); n; n = n.next_sibling())
        if (Is(n, "w:r") && n.child("w:rPr")) return n.child("w:rPr");
    return p.child("w:pPr").child("w:rPr");
}

// The nodes of the paragraph after start up to end (or the paragraph's
// end), without other bookmarks' markers, which must survive.
std::vector<pugi::xml_node> HeldNodes(pugi::xml_node start, pugi::xml_node end) {
    std::vector<pugi::xml_node> held;
    for (auto n = start.next_sibling(); n && n != end; n = n.next_sibling())
        if (!Is(n, "w:bookmarkStart") && !Is(n, "w:bookmarkEnd") && !Is(n, "w:pPr"))
            held.push_back(n);
    return held;
}

void AppendText(pugi::xml_node run, std::string_view text) {
    if (text.empty()) return;
    auto t = run.append_child("w:t");
    t.append_attribute("xml:space") = "preserve";
    t.text().set(std::string(text).c_str());
}

// A run holding text in the given properties: line breaks as <w:br/>, tabs
// as <w:tab/>; characters XML cannot hold are dropped, the rest escaped.
void FillRun(pugi::xml_node run, pugi::xml_node properties, std::string_view raw) {
    if (properties) {
        auto copy = run.append_copy(properties);
        for (const char* tracked : {"w:ins", "w:del", "w:moveFrom", "w:moveTo"})
            while (auto t = copy.child(tracked)) copy.remove_child(t);
    }
    const std::string text = XmlSafeText(raw);
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n' && c != '\t') continue;
        AppendText(run, std::string_view(text).substr(from, i - from));
        run.append_child(c == '\t' ? "w:tab" : "w:br");
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        from = i + 1;
    }
    AppendText(run, std::string_view(text).substr(from));
}

void FillOne(BookmarkIndex& index, const BookmarkText& value) {
    auto [start, end] = TakeBookmark(index, value.name);
    pugi::xml_node p = ParagraphOf(start, value.name);
    const auto held = HeldNodes(start, end.parent() == p ? end : pugi::xml_node());
    const pugi::xml_node properties = RunPropertiesNear(start, held, p);
    pugi::xml_node run = p.insert_child_after("w:r", start);
    FillRun(run, properties, value.text);
    for (const auto& n : held) p.remove_child(n);
    if (run.first_child()) {
        p.insert_move_after(end, run);
    } else {
        p.remove_child(run);  // an empty text: start and end stand together
        p.insert_move_after(end, start);
    }
}

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

}  // namespace

namespace {

// A template read and parsed once per run: a run fills it for every
// project, so each fill copies the parsed tree instead of inflating and
// parsing the part again, and copies the other parts from the open package.
// It is read again when the file is no longer the one read (replaced,
// rewritten or removed).
struct ParsedTemplate {
    std::filesystem::path file;
    base::FileIdentity identity;
    std::unique_ptr<ZipArchive> package;
    std::string part;
    pugi::xml_document doc;
};

const ParsedTemplate& TemplateOf(const std::filesystem::path& source) {
    // One per thread: a fill never shares a tree with another thread.
    thread_local std::unique_ptr<ParsedTemplate> cached;
    const auto identity = base::IdentityOf(source);
    if (cached && identity && cached->file == source && cached->identity == *identity)
        return *cached;
    cached.reset();
    auto parsed = std::make_unique<ParsedTemplate>();
    parsed->file = source;
    parsed->package = std::make_unique<ZipArchive>(source);
    parsed->part = MainDocumentPart(*parsed->package);
    ParseXmlPart(parsed->doc, parsed->package->Read(parsed->part), base::QuotedFileName(source));
    // Kept only when the file was the same before and after it was read.
    if (identity && base::IdentityOf(source) == identity) {
        parsed->identity = *identity;
        cached = std::move(parsed);
        return *cached;
    }
    thread_local std::unique_ptr<ParsedTemplate> once;
    once = std::move(parsed);
    return *once;
}

}  // namespace

void FillDocxBookmarks(const std::filesystem::path& source, const std::filesystem::path& target,
                       const std::vector<BookmarkText>& texts) {
    const ParsedTemplate& parsed = TemplateOf(source);
    pugi::xml_document doc;
    doc.reset(parsed.doc);
    BookmarkIndex index;
    IndexInto(doc, index);
    for (const auto& value : texts) FillOne(index, value);
    WriteZipCopy(*parsed.package, target, {{parsed.part, SaveXmlPart(doc)}});
}

std::map<std::string, std::string> ReadDocxBookmarks(const std::filesystem::path& file) {
    ZipArchive package(file);
    pugi::xml_document doc;
    ParseXmlPart(doc, package.Read(MainDocumentPart(package)), base::QuotedFileName(file));
    BookmarkIndex index;
    IndexInto(doc, index);
    BookmarkReader reader(index);
    reader.Walk(doc);
    return std::move(reader.texts);
}

}  // namespace zorbix::office
