#include "server/web_prompter.h"

namespace zorbix::server {

bool WebPrompter::Show(const base::Message& message) {
    last_message_ = message.text;
    // A question cannot be asked: answer no, so nothing is done unasked.
    return message.buttons == base::Buttons::Ok;
}

std::optional<std::string> WebPrompter::AskText(std::string_view, std::string_view) {
    if (texts_.empty()) return std::nullopt;
    std::string text = std::move(texts_.front());
    texts_.pop_front();
    return text;
}

}  // namespace zorbix::server
