#include "office/xlsx_saved_rows.h"

#include "office/xml_part.h"

namespace zorbix::office {

SavedRows::SavedRows(pugi::xml_node sheet_data) {
    AppendSaved(sheet_data, text_);
    const std::size_t end = TagEnd(0);
    lost_ = end == std::string::npos || text_[end - 1] == '/';
    at_ = end + 1;
}

void SavedRows::Skip(std::string_view expected) {
    if (lost_ || text_.compare(at_, expected.size(), expected) != 0)
        lost_ = true;
    else
        at_ += expected.size();
}

std::string_view SavedRows::Element(pugi::xml_node node) {
    const std::string start = "<" + std::string(node.name());
    const std::size_t end =
        lost_ || text_.compare(at_, start.size(), start) != 0 ? std::string::npos : ElementEnd(at_);
    if (end == std::string::npos) {
        lost_ = true;
        return {};
    }
    const std::string_view element = std::string_view(text_).substr(at_, end - at_);
    at_ = end;
    return element;
}

// The '>' closing the tag that starts at `at` (quoted values skipped).
std::size_t SavedRows::TagEnd(std::size_t at) const {
    for (std::size_t i = at + 1; i < text_.size(); ++i) {
        if (text_[i] == '"') i = text_.find('"', i + 1);
        if (i == std::string::npos) return i;
        if (text_[i] == '>') return i;
    }
    return std::string::npos;
}

std::size_t SavedRows::Past(std::size_t at, std::string_view close) const {
    const std::size_t end = text_.find(close, at);
    return end == std::string::npos ? end : end + close.size();
}

// The end of the element starting at `at`: its tags counted, comments,
// character data and processing instructions stepped over whole.
std::size_t SavedRows::ElementEnd(std::size_t at) const {
    int depth = 0;
    while (at < text_.size()) {
        if (text_[at] != '<') {
            at = text_.find('<', at);
        } else if (text_.compare(at, 4, "<!--") == 0) {
            at = Past(at + 4, "-->");
        } else if (text_.compare(at, 9, "<![CDATA[") == 0) {
            at = Past(at + 9, "]]>");
        } else if (text_.compare(at, 2, "<?") == 0) {
            at = Past(at + 2, "?>");
        } else if (text_.compare(at, 2, "</") == 0) {
            at = Past(at, ">");
            if (at != std::string::npos && --depth == 0) return at;
        } else {
            const std::size_t end = TagEnd(at);
            if (end == std::string::npos) return end;
            const bool empty = text_[end - 1] == '/';
            at = end + 1;
            if (!empty) ++depth;
            if (depth == 0) return at;
        }
        if (at == std::string::npos) return at;
    }
    return std::string::npos;
}

}  // namespace zorbix::office
