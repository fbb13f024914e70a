// The Prompter through which the server calls the core's operations: a
// text question is answered from the request, a notice is kept as the
// answer's message, and nothing can be confirmed or chosen, since no one
// sits in front of the server.
#pragma once

#include <deque>
#include <string>

#include "base/prompter.h"

namespace zorbix::server {

class WebPrompter : public base::Prompter {
public:
    bool Show(const base::Message& message) override;
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog&) override {
        return std::nullopt;
    }

    // What the next text question answers.
    void QueueText(std::string text) { texts_.push_back(std::move(text)); }
    // The text of the last notice; "" when none was shown.
    const std::string& last_message() const { return last_message_; }

private:
    std::deque<std::string> texts_;
    std::string last_message_;
};

}  // namespace zorbix::server
