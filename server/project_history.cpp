#include "server/project_history.h"

#include "server/project_access.h"

namespace zorbix::server {

void ChangeState(StoreParts& parts, std::string_view number, accounts::ProjectState state,
                 std::string_view operation) {
    ChangeState(parts, number, parts.states.StateOf(number), state, operation);
}

void ChangeState(StoreParts& parts, std::string_view number, accounts::ProjectState before,
                 accounts::ProjectState state, std::string_view operation) {
    if (before == state) return;
    parts.states.SetState(number, state);
    parts.records().history().LogNote(operation, number, kStateColumn,
                                      accounts::StateCaption(before),
                                      accounts::StateCaption(state));
}

Json HistoryJson(StoreParts& parts, const Caller& caller, const std::string& number) {
    ReachableProject(parts, caller, number);
    Json lines = Json::array();
    for (const store::HistoryLine& line : parts.records().history().ForProject(number))
        lines.push_back({{"time", line.time},
                         {"operation", line.operation},
                         {"column", line.column},
                         {"old", line.old_value},
                         {"new", line.new_value},
                         {"who", line.who}});
    return {{"number", number}, {"history", lines}};
}

}  // namespace zorbix::server
