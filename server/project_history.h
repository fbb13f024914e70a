// The change history as the server writes and answers it: every save and
// every change of a project's state is written with the account that made
// it, in the transaction of the change; GET /api/projects/{n}/history
// answers a project's lines.
#pragma once

#include <string>
#include <string_view>

#include "accounts/project_states.h"
#include "server/json_body.h"
#include "server/session_gate.h"
#include "server/shared_store.h"

namespace zorbix::server {

// The history's operations for changes made through the server.
inline constexpr std::string_view kWebEdit = "网页填报";
inline constexpr std::string_view kWebSubmit = "网页上报";
inline constexpr std::string_view kWebReturn = "网页退回";
inline constexpr std::string_view kWebApprove = "网页审核";

// The history's "column" of a line about the project's state: no column of
// kjxmzxqk has this name, and the window shows it as it is.
inline constexpr std::string_view kStateColumn = "填报状态";
// The "column" of a line holding the office's comment on a state change.
inline constexpr std::string_view kCommentColumn = "审核意见";

// Sets the project's state and writes the line that records it (old and
// new state, the caller's account); nothing when the state stays. Must run
// inside the caller's transaction, under the caller's PersonLabel.
void ChangeState(StoreParts& parts, std::string_view number, accounts::ProjectState state,
                 std::string_view operation);
// The same when the caller read the state `before` in the same transaction.
void ChangeState(StoreParts& parts, std::string_view number, accounts::ProjectState before,
                 accounts::ProjectState state, std::string_view operation);

// {"history": [{"time", "operation", "column", "old", "new", "who"}, …]}
// for a project the caller may reach, newest first; ApiError 404 otherwise.
Json HistoryJson(StoreParts& parts, const Caller& caller, const std::string& number);

}  // namespace zorbix::server
