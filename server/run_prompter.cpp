#include "server/run_prompter.h"

namespace zorbix::server {

bool RunPrompter::Show(const base::Message& message) {
    // A question is not news for the answer: the page asked it already.
    if (message.buttons == base::Buttons::Ok) messages_.push_back(message.text);
    return true;
}

std::optional<std::filesystem::path> RunPrompter::ChooseSaveFile(const base::FileDialog&) {
    if (file_.empty()) return std::nullopt;
    return file_;
}

std::optional<std::filesystem::path> RunPrompter::ChooseOpenFile(const base::FileDialog&) {
    if (file_.empty()) return std::nullopt;
    return file_;
}

void RunPrompter::Progress(long done, long total) {
    if (total > 0) ticket_.SetFraction(static_cast<double>(done) / static_cast<double>(total));
}

std::string RunPrompter::Text(const std::string& hidden) const {
    std::string text;
    for (const std::string& message : messages_) text += (text.empty() ? "" : "\n") + message;
    if (hidden.empty()) return text;
    for (auto at = text.find(hidden); at != std::string::npos; at = text.find(hidden))
        text.erase(at, hidden.size());
    return text;
}

}  // namespace zorbix::server
