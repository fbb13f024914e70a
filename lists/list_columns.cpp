#include "lists/list_columns.h"

#include <cctype>

#include "base/message_text.h"

namespace zorbix::lists {
namespace {

bool IsCodeCharacter(char c) {
    return std::isupper(static_cast<unsigned char>(c)) ||
           std::isdigit(static_cast<unsigned char>(c));
}

// "…(JH02)" → "…"; "…JF170" → "…" where JF170 is the column's own name.
std::string_view WithoutItemCode(std::string_view caption, std::string_view name) {
    if (caption.ends_with(name) && caption.size() > name.size())
        return caption.substr(0, caption.size() - name.size());
    if (caption.ends_with(')')) {
        const auto open = caption.rfind('(');
        if (open != std::string_view::npos && open + 2 < caption.size()) {
            const auto code = caption.substr(open + 1, caption.size() - open - 2);
            bool all_code = true;
            for (char c : code) all_code = all_code && IsCodeCharacter(c);
            if (all_code && std::isupper(static_cast<unsigned char>(code.front())))
                return caption.substr(0, open);
        }
    }
    return caption;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

std::string HeadingCaption(const store::Column& column) {
    const std::string_view name = column.name;
    const std::string_view caption = Trimmed(column.caption);
    // The funds of table two: one caption for the cumulative amount (suffix
    // 1) and this year's (suffix 2).
    if (column.page == store::Page::TableTwo &&
        caption.ends_with(name.substr(0, name.size() - 1))) {
        const auto item = Trimmed(caption.substr(0, caption.size() - name.size() + 1));
        return base::MessageText(name.ends_with('1') ? "{1}累计数" : "{1}当年数", {item});
    }
    return std::string(Trimmed(WithoutItemCode(caption, name)));
}

bool IsNumberColumn(const store::Column& column) { return column.kind == store::Kind::Number; }

}  // namespace zorbix::lists
