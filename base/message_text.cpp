#include "base/message_text.h"

namespace zorbix::base {

std::string MessageText(std::string_view text, std::initializer_list<std::string_view> arguments) {
    std::string out;
    out.reserve(text.size() + 64);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('{', i);
        if (open == std::string_view::npos) break;
        std::size_t close = open + 1;
        std::size_t n = 0;
        while (close < text.size() && text[close] >= '0' && text[close] <= '9' &&
               n <= arguments.size())
            n = n * 10 + static_cast<std::size_t>(text[close++] - '0');
        const bool placeholder = close > open + 1 && close < text.size() && text[close] == '}' &&
                                 n >= 1 && n <= arguments.size();
        out.append(text.substr(i, open - i));
        if (placeholder) {
            out.append(arguments.begin()[n - 1]);
            i = close + 1;
        } else {
            out += '{';
            i = open + 1;
        }
    }
    out.append(text.substr(i));
    return out;
}

}  // namespace zorbix::base
