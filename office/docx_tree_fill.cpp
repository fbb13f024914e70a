#include "office/docx_tree_fill.h"

#include <set>
#include <string_view>

#include "base/error.h"
#include "base/message_text.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

bool Is(const pugi::xml_node& node, std::string_view name) { return name == node.name(); }

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
    if (!start) throw base::Failure(base::MessageText("报表模板中缺少书签“{1}”。", {name}));
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
    if (!p)
        throw base::Failure(
            base::MessageText("报表模板中书签“{1}”之后没有可以填写的段落。", {name}));
    if (auto props = p.child("w:pPr"))
        p.insert_move_after(start, props);
    else
        p.prepend_move(start);
    return p;
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

struct StringWriter : pugi::xml_writer {
    std::string bytes;
    void write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
};

std::string Serialized(pugi::xml_node node) {
    StringWriter out;
    node.print(out, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(out.bytes);
}

// One fill of a part; it remembers the runs it made, for the trace.
class TreeFiller {
public:
    TreeFiller(pugi::xml_node root, TreeFillTrace* trace)
        : index_(IndexBookmarks(root)), trace_(trace) {}

    void FillOne(const BookmarkText& value) {
        auto [start, end] = TakeBookmark(index_, value.name);
        pugi::xml_node p = ParagraphOf(start, value.name);
        const auto held = HeldNodes(start, end.parent() == p ? end : pugi::xml_node());
        const pugi::xml_node properties = RunPropertiesNear(start, held, p);
        pugi::xml_node run = p.insert_child_after("w:r", start);
        FillRun(run, properties, value.text);
        Trace(run, properties);
        for (const auto& n : held) p.remove_child(n);
        if (run.first_child()) {
            p.insert_move_after(end, run);
        } else {
            p.remove_child(run);  // an empty text: start and end stand together
            p.insert_move_after(end, start);
        }
    }

private:
    pugi::xml_node RunPropertiesNear(pugi::xml_node start, const std::vector<pugi::xml_node>& held,
                                     pugi::xml_node p) {
        for (const auto& n : held)
            if (Is(n, "w:r") && n.child("w:rPr")) return n.child("w:rPr");
        for (auto n = start.previous_sibling(); n; n = n.previous_sibling()) {
            if (!Is(n, "w:r")) continue;
            if (trace_ && !n.child("w:rPr") && filled_.count(n))
                trace_->formatting_follows_values = true;
            return n.child("w:rPr");
        }
        for (auto n = start.next_sibling(); n; n = n.next_sibling())
            if (Is(n, "w:r") && n.child("w:rPr")) return n.child("w:rPr");
        return p.child("w:pPr").child("w:rPr");
    }

    void Trace(pugi::xml_node run, pugi::xml_node properties) {
        if (!trace_) return;
        if (run.first_child()) filled_.insert(run);
        trace_->properties.push_back(properties ? Serialized(run.first_child()) : std::string());
    }

    BookmarkIndex index_;
    TreeFillTrace* trace_;
    std::set<pugi::xml_node> filled_;
};

}  // namespace

BookmarkIndex IndexBookmarks(const pugi::xml_node& root) {
    BookmarkIndex index;
    IndexInto(root, index);
    return index;
}

void FillBookmarkTree(pugi::xml_node root, const std::vector<BookmarkText>& texts,
                      TreeFillTrace* trace) {
    TreeFiller filler(root, trace);
    for (const auto& value : texts) filler.FillOne(value);
}

}  // namespace zorbix::office
