// GET /api/progress and GET /api/progress/missing.xlsx: where the survey
// stands, for the office. Per unit and in total: how many projects are in
// each state, how many have findings in the four rule sets, and the
// planned amount (万元) of the plan workbook when one was loaded. Filters
// narrow the projects counted: by state, unit, region (a prefix of the
// administrative region code JB22) and plan category (JB61).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "accounts/project_states.h"
#include "server/json_body.h"
#include "server/progress_facts.h"
#include "server/project_files.h"
#include "server/shared_store.h"

namespace zorbix::server {

struct ProgressFilter {
    std::optional<accounts::ProjectState> state;
    std::string unit;      // "" : every unit
    std::string region;    // "" : every region; else a prefix of JB22
    std::string category;  // "" : every category; else JB61 exactly
};

// The filter of the query (state by caption or code); ApiError 400 for a
// state that is none.
ProgressFilter ProgressFilterOf(const std::multimap<std::string, std::string>& params);

// The planned amount of each project number of the program directory's
// plan workbook; empty when none was loaded or it cannot be read.
std::unordered_map<std::string, double> PlannedAmounts(const std::filesystem::path& program_dir);

struct UnitProgress {
    int projects = 0;
    std::map<accounts::ProjectState, int> states;
    int with_findings = 0;
    double planned_amount = 0;
};

struct Progress {
    std::map<std::string, UnitProgress> units;  // "" : projects of no unit
    UnitProgress total;
    bool has_plan = false;
    std::set<std::string> unit_names;         // of every project, whatever the filter
    std::unordered_set<std::string> counted;  // the numbers the filter let through
};

// The projects' facts (progress_facts.h) counted with their owners and
// states as they are now.
Progress CountProgress(StoreParts& parts, const FactsTable& facts, const ProgressFilter& filter,
                       const std::unordered_map<std::string, double>& amounts);

// {"states": [caption, …], "units": [{"unit", "projects", "states":
// {caption: count}, "with_findings", "planned_amount"}, …], "total": {…},
// "choices": progress_choices.h}; planned_amount is null without a plan.
Json ProgressJson(const Progress& progress);

// The units with projects not yet submitted (未填报, 填报中, 退回修改), one
// row each with those counts.
Download MissingWorkbook(const Progress& progress);

}  // namespace zorbix::server
