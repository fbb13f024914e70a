// The Prompter of the benchmarks: answers every question with OK, silences
// repeated messages at once, hands out one file for every dialog, and keeps
// only what a benchmark checks afterwards.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/prompter.h"

namespace zorbix::bench {

class QuietPrompter : public base::Prompter {
public:
    explicit QuietPrompter(std::filesystem::path file = {}) : file_(std::move(file)) {}

    bool Show(const base::Message& m) override {
        last = m.text;
        if (m.buttons == base::Buttons::Ok && m.icon != base::Icon::Information) ++warnings;
        return true;
    }
    bool ShowRepeated(const base::Message& m) override {
        Show(m);
        ++repeated;
        return true;
    }
    std::optional<std::string> AskText(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog&) override {
        return Answer();
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog&) override {
        return Answer();
    }

    std::string last;  // the text of the last message
    int repeated = 0;  // repeated (per-record) messages
    int warnings = 0;  // messages with another icon than information

private:
    std::optional<std::filesystem::path> Answer() const {
        if (file_.empty()) return std::nullopt;
        return file_;
    }
    std::filesystem::path file_;
};

}  // namespace zorbix::bench
