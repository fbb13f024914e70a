#include "app/cli/cli_prompter.h"

#include <ostream>

namespace zorbix::cli {
namespace {

std::string OneLine(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

}  // namespace

bool CliPrompter::Show(const base::Message& message) {
    ++shown_;
    err_ << message.title << ": " << OneLine(message.text) << '\n';
    err_.flush();
    if (message.buttons == base::Buttons::Ok) return true;
    if (!yes_) throw NeedsYes("这一操作需要确认；确认时请加上 --yes 选项。");
    return true;
}

std::optional<std::string> CliPrompter::AskText(std::string_view, std::string_view) {
    if (texts_.empty()) return std::nullopt;
    std::string text = std::move(texts_.front());
    texts_.pop_front();
    return text;
}

std::optional<std::filesystem::path> CliPrompter::ChooseSaveFile(const base::FileDialog&) {
    if (files_.empty()) return std::nullopt;
    auto file = std::move(files_.front());
    files_.pop_front();
    return file;
}

std::optional<std::filesystem::path> CliPrompter::ChooseOpenFile(const base::FileDialog& dialog) {
    return ChooseSaveFile(dialog);
}

}  // namespace zorbix::cli
