// The Prompter through which a long run of the office calls the core's
// operations: the file an operation asks for is the upload the server
// saved, the question an operation asks is answered yes (the clerk asked
// for exactly this on the page, which confirms it there), every notice is
// kept for the answer, and progress goes to the run's ticket.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/prompter.h"
#include "server/run_board.h"

namespace zorbix::server {

class RunPrompter : public base::Prompter {
public:
    // `file`: what ChooseOpenFile and ChooseSaveFile answer; empty for none.
    RunPrompter(RunTicket& ticket, std::filesystem::path file = {})
        : ticket_(ticket), file_(std::move(file)) {}

    bool Show(const base::Message& message) override;
    std::optional<std::string> AskText(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog&) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog&) override;
    void Progress(long done, long total) override;

    // The notices in the order shown.
    const std::vector<std::string>& messages() const { return messages_; }
    // The notices as one text, one per line; `hidden` (a scratch folder's
    // path) left out wherever it stands.
    std::string Text(const std::string& hidden = "") const;

private:
    RunTicket& ticket_;
    std::filesystem::path file_;
    std::vector<std::string> messages_;
};

}  // namespace zorbix::server
