// The office's long runs in progress (appending exchange files, checking
// all, the summaries, backups, …), for the page that shows how far each
// one is. One run of a kind at a time: a second start of the same kind is
// refused while the first runs, so two clerks never append or restore over
// each other. Shared by the request threads; its own lock, never the
// store's.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "server/json_body.h"

namespace zorbix::server {

class RunBoard;

// A run on the board while this lives; it leaves the board however the
// run ends.
class RunTicket {
public:
    RunTicket(RunBoard& board, std::string kind) : board_(board), kind_(std::move(kind)) {}
    ~RunTicket();
    RunTicket(const RunTicket&) = delete;
    RunTicket& operator=(const RunTicket&) = delete;

    // How far the run is, 0 to 1; out-of-range values are clamped.
    void SetFraction(double fraction);

private:
    RunBoard& board_;
    std::string kind_;
};

class RunBoard {
public:
    // Puts a run of `kind` on the board. Throws ApiError 409 naming the
    // run when one of the same kind is under way.
    [[nodiscard]] RunTicket Start(std::string_view kind);

    // {"runs": [{"kind", "fraction"}, …]} in the order of their kinds.
    Json RunsJson() const;

private:
    friend class RunTicket;
    void Set(const std::string& kind, double fraction);
    void End(const std::string& kind);

    mutable std::mutex mutex_;
    std::map<std::string, double> fractions_;
};

// The caption of a run's kind in messages ("导入交换文件").
std::string_view RunCaption(std::string_view kind);

}  // namespace zorbix::server
