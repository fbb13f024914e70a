#include "server/check_all.h"

#include "check/check_runs.h"
#include "server/project_json.h"
#include "server/run_prompter.h"

namespace zorbix::server {
namespace {

std::string WithLineFeeds(const std::string& panel) {
    std::string text;
    text.reserve(panel.size());
    for (std::size_t i = 0; i < panel.size(); ++i)
        if (panel[i] != '\r' || i + 1 >= panel.size() || panel[i + 1] != '\n') text += panel[i];
    return text;
}

}  // namespace

Json CheckAllJson(RunStore& run, RunTicket& ticket) {
    RunPrompter prompter(ticket);
    std::string panel;
    std::vector<check::Finding> findings;
    if (!check::CheckAllProjects(run.records(), prompter, panel, &findings))
        throw base::Failure(prompter.Text());
    Json list = FindingsJson(findings);
    for (std::size_t i = 0; i < findings.size(); ++i) list[i]["number"] = findings[i].project;
    return {{"panel", WithLineFeeds(panel)}, {"findings", list}};
}

}  // namespace zorbix::server
