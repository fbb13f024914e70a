// A Prompter for tests: records every message, answers questions as told,
// hands out queued texts and files.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "base/prompter.h"

namespace zorbix::testing {

class RecordingPrompter : public base::Prompter {
public:
    bool Show(const base::Message& message) override {
        messages.push_back(message);
        return answer_ok;
    }
    bool ShowRepeated(const base::Message& message) override {
        Show(message);
        return silence_repeated;
    }
    std::optional<std::string> AskText(std::string_view, std::string_view prompt) override {
        prompts.emplace_back(prompt);
        if (texts.empty()) return std::nullopt;
        auto t = texts.front();
        texts.pop_front();
        return t;
    }
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog& d) override {
        dialogs.push_back(d);
        return NextFile();
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog& d) override {
        dialogs.push_back(d);
        return NextFile();
    }
    void BeginBusy(std::string_view) override { ++busy_begun; }
    void EndBusy() override { ++busy_ended; }

    // The texts of all messages, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : messages) t.push_back(m.text);
        return t;
    }

    bool answer_ok = true;
    bool silence_repeated = false;
    std::deque<std::string> texts;
    std::deque<std::filesystem::path> files;
    std::vector<base::Message> messages;
    std::vector<std::string> prompts;
    std::vector<base::FileDialog> dialogs;
    int busy_begun = 0;
    int busy_ended = 0;

private:
    std::optional<std::filesystem::path> NextFile() {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace zorbix::testing
