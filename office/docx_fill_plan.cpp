#include "office/docx_fill_plan.h"

#include "office/docx_tree_fill.h"
#include "office/xml_escape.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

// The placeholder of text i is its number between two private-use
// characters, which no template of ours holds and XML takes unescaped.
constexpr std::string_view kOpen = "\xEE\x80\x80";   // U+E000
constexpr std::string_view kClose = "\xEE\x80\x81";  // U+E001
constexpr std::string_view kTextOpen = "<w:t xml:space=\"preserve\">";
constexpr std::string_view kTextClose = "</w:t>";
constexpr std::string_view kRunOpen = "<w:r>";
constexpr std::string_view kRunClose = "</w:r>";

std::string Placeholder(std::size_t i) {
    return std::string(kOpen) + std::to_string(i) + std::string(kClose);
}

bool EndsAt(std::string_view text, std::size_t end, std::string_view piece) {
    return end >= piece.size() && text.substr(end - piece.size(), piece.size()) == piece;
}

// The number of the placeholder at `at`, or nothing when it is not one.
std::optional<std::size_t> PlaceholderAt(std::string_view filled, std::size_t at, std::size_t count,
                                         std::size_t& end) {
    std::size_t i = at + kOpen.size(), n = 0;
    const std::size_t digits = i;
    while (i < filled.size() && filled[i] >= '0' && filled[i] <= '9' && i - digits < 6)
        n = n * 10 + static_cast<std::size_t>(filled[i++] - '0');
    if (i == digits || n >= count || filled.substr(i, kClose.size()) != kClose) return {};
    end = i + kClose.size();
    return n;
}

void AppendTextElement(std::string_view text, std::string& out) {
    if (text.empty()) return;
    out += kTextOpen;
    AppendXmlEscaped(out, text);
    out += kTextClose;
}

}  // namespace

std::optional<DocxFillPlan> DocxFillPlan::Make(const pugi::xml_document& part,
                                               const std::vector<std::string>& names) {
    if (SaveXmlPart(part).find(kOpen) != std::string::npos) return std::nullopt;
    pugi::xml_document doc;
    doc.reset(part);
    std::vector<BookmarkText> texts;
    for (std::size_t i = 0; i < names.size(); ++i) texts.push_back({names[i], Placeholder(i)});
    TreeFillTrace trace;
    FillBookmarkTree(doc, texts, &trace);
    if (trace.formatting_follows_values) return std::nullopt;
    const std::string filled = SaveXmlPart(doc);

    DocxFillPlan plan;
    plan.names_ = names;
    std::vector<bool> seen(names.size(), false);
    std::size_t from = 0;
    for (std::size_t at = filled.find(kOpen); at != std::string::npos;
         at = filled.find(kOpen, at + 1)) {
        std::size_t end = 0;
        const auto i = PlaceholderAt(filled, at, names.size(), end);
        if (!i || seen[*i]) return std::nullopt;
        seen[*i] = true;
        // The run exactly as the tree fill wrote it: its formatting, the
        // placeholder's text element, nothing else.
        Slot slot{*i, std::string(kRunOpen) + trace.properties[*i], !trace.properties[*i].empty()};
        const std::string before = slot.run_open + std::string(kTextOpen);
        const std::string after = std::string(kTextClose) + std::string(kRunClose);
        if (!EndsAt(filled, at, before) || filled.compare(end, after.size(), after) != 0)
            return std::nullopt;
        const std::size_t run_start = at - before.size();
        if (run_start < from) return std::nullopt;
        plan.constants_.push_back(filled.substr(from, run_start - from));
        plan.slots_.push_back(std::move(slot));
        from = end + after.size();
    }
    plan.constants_.push_back(filled.substr(from));
    return plan;
}

bool DocxFillPlan::Fits(const std::vector<BookmarkText>& texts) const {
    if (texts.size() != names_.size()) return false;
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i].name != names_[i]) return false;
    return true;
}

void DocxFillPlan::Render(const std::vector<BookmarkText>& texts, std::string& out) const {
    for (std::size_t k = 0; k < slots_.size(); ++k) {
        out += constants_[k];
        RenderRun(slots_[k], texts[slots_[k].text].text, out);
    }
    out += constants_.back();
}

// The run of one value as the tree fill writes it: line breaks (CR LF, CR
// or LF) as <w:br/>, tabs as <w:tab/>, control characters dropped, the rest
// escaped; an empty value leaves only a formatted run, or none.
void DocxFillPlan::RenderRun(const Slot& slot, std::string_view value, std::string& out) const {
    thread_local std::string text;
    text = XmlSafeText(value);
    if (text.empty() && !slot.formatted) return;
    out += slot.run_open;
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n' && c != '\t') continue;
        AppendTextElement(std::string_view(text).substr(from, i - from), out);
        out += c == '\t' ? "<w:tab/>" : "<w:br/>";
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        from = i + 1;
    }
    AppendTextElement(std::string_view(text).substr(from), out);
    out += kRunClose;
}

}  // namespace zorbix::office
