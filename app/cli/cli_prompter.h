// The Prompter of the batch tool: every message box becomes one line
// "TITLE: TEXT" on standard error; a question is answered OK with --yes and
// otherwise stops the command; texts and files come from the arguments.
#pragma once

#include <deque>
#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <string>

#include "base/prompter.h"

namespace zorbix::cli {

// Raised when a question needs --yes and it was not given.
class NeedsYes : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CliPrompter : public base::Prompter {
public:
    CliPrompter(std::ostream& err, bool yes) : err_(err), yes_(yes) {}

    bool Show(const base::Message& message) override;
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog& dialog) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog& dialog) override;

    // What the next text question and file dialog answer.
    void QueueText(std::string text) { texts_.push_back(std::move(text)); }
    void QueueFile(std::filesystem::path file) { files_.push_back(std::move(file)); }

    // Messages shown so far (any icon).
    int shown() const { return shown_; }

private:
    std::ostream& err_;
    bool yes_;
    std::deque<std::string> texts_;
    std::deque<std::filesystem::path> files_;
    int shown_ = 0;
};

}  // namespace zorbix::cli
