#include "server/progress.h"

#include <fstream>
#include <iterator>

#include "office/list_workbook.h"
#include "reconcile/plan_list.h"
#include "server/api_error.h"
#include "server/download_name.h"
#include "server/progress_choices.h"
#include "server/scratch_folder.h"

namespace zorbix::server {
namespace {

using accounts::ProjectState;

constexpr ProjectState kStates[] = {ProjectState::NotStarted, ProjectState::Drafting,
                                    ProjectState::Submitted, ProjectState::Returned,
                                    ProjectState::Approved};
constexpr ProjectState kNotSubmitted[] = {ProjectState::NotStarted, ProjectState::Drafting,
                                          ProjectState::Returned};

std::optional<ProjectState> StateNamed(const std::string& name) {
    for (ProjectState state : kStates)
        if (name == accounts::StateCaption(state) || name == accounts::StateCode(state))
            return state;
    return std::nullopt;
}

std::string Param(const std::multimap<std::string, std::string>& params, const char* name) {
    const auto it = params.find(name);
    return it == params.end() ? "" : it->second;
}

template <class Map, class Key>
auto Lookup(const Map& map, const Key& key, typename Map::mapped_type fallback) {
    const auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}

void Count(UnitProgress& unit, ProjectState state, int findings, std::optional<double> amount) {
    ++unit.projects;
    ++unit.states[state];
    if (findings > 0) ++unit.with_findings;
    if (amount) unit.planned_amount += *amount;
}

Json UnitJson(const UnitProgress& unit, bool has_plan) {
    Json states = Json::object();
    for (ProjectState state : kStates)
        states[accounts::StateCaption(state)] = Lookup(unit.states, state, 0);
    return {{"projects", unit.projects},
            {"states", states},
            {"with_findings", unit.with_findings},
            {"planned_amount", has_plan ? Json(unit.planned_amount) : Json(nullptr)}};
}

int NotSubmitted(const UnitProgress& unit) {
    int count = 0;
    for (ProjectState state : kNotSubmitted) count += Lookup(unit.states, state, 0);
    return count;
}

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

ProgressFilter ProgressFilterOf(const std::multimap<std::string, std::string>& params) {
    ProgressFilter filter;
    if (const std::string state = Param(params, "state"); !state.empty()) {
        filter.state = StateNamed(state);
        if (!filter.state)
            BadInput("没有“" + state +
                     "”这个填报状态（未填报、填报中、已上报、退回修改、已审核）。");
    }
    filter.unit = Param(params, "unit");
    filter.region = Param(params, "region");
    filter.category = Param(params, "category");
    return filter;
}

std::unordered_map<std::string, double> PlannedAmounts(const std::filesystem::path& program_dir) {
    std::unordered_map<std::string, double> amounts;
    try {
        for (const auto& p : reconcile::ReadPlanList(reconcile::FindPlanWorkbook(program_dir))) {
            const auto first = p.number_text.find_first_not_of(' ');
            if (first == std::string::npos) continue;
            const auto last = p.number_text.find_last_not_of(' ');
            amounts[p.number_text.substr(first, last - first + 1)] += p.amount;
        }
    } catch (const base::Failure&) {
        // No plan loaded, or one that cannot be read: progress without amounts.
        amounts.clear();
    }
    return amounts;
}

Progress CountProgress(StoreParts& parts, const FactsTable& facts, const ProgressFilter& filter,
                       const std::unordered_map<std::string, double>& amounts) {
    const auto owners = parts.owners.All();
    const auto states = parts.states.All();
    Progress progress;
    progress.has_plan = !amounts.empty();
    for (const auto& [number, unit] : owners) progress.unit_names.insert(unit);
    static const std::string kNoUnit;
    for (const auto& [number, project] : facts) {
        const auto owner = owners.find(number);
        const std::string& unit = owner == owners.end() ? kNoUnit : owner->second;
        const ProjectState state = Lookup(states, number, ProjectState::NotStarted);
        if ((filter.state && state != *filter.state) ||
            (!filter.unit.empty() && unit != filter.unit) ||
            !project.region.starts_with(filter.region) ||
            (!filter.category.empty() && project.category != filter.category))
            continue;
        progress.counted.insert(number);
        const auto amount = amounts.find(number);
        std::optional<double> planned;
        if (amount != amounts.end()) planned = amount->second;
        Count(progress.units[unit], state, project.findings, planned);
        Count(progress.total, state, project.findings, planned);
    }
    return progress;
}

Json ProgressJson(const Progress& progress) {
    Json captions = Json::array();
    for (ProjectState state : kStates) captions.push_back(accounts::StateCaption(state));
    Json units = Json::array();
    for (const auto& [name, unit] : progress.units) {
        Json line = UnitJson(unit, progress.has_plan);
        line["unit"] = name;
        units.push_back(std::move(line));
    }
    return {{"states", captions},
            {"units", units},
            {"total", UnitJson(progress.total, progress.has_plan)},
            {"choices", ProgressChoices(progress.unit_names)}};
}

Download MissingWorkbook(const Progress& progress) {
    const ScratchFolder scratch;
    const auto file = scratch.path() / "missing.xlsx";
    scratch.RequireRoom("生成未上报单位表");
    office::ListWorkbook workbook(file);
    workbook.AddSheet("未上报单位");
    workbook.SetWidth(0, 36, true);
    const char* headings[] = {"单位名称", "项目数", "未上报项目数", "未填报", "填报中", "退回修改"};
    for (int column = 0; column < 6; ++column) workbook.Heading(0, column, headings[column]);
    workbook.FreezeAt(1, 0);
    int row = 1;
    for (const auto& [name, unit] : progress.units) {
        if (NotSubmitted(unit) == 0) continue;
        workbook.Text(row, 0, name.empty() ? "（未指定单位）" : name);
        workbook.Number(row, 1, unit.projects);
        workbook.Number(row, 2, NotSubmitted(unit));
        for (int i = 0; i < 3; ++i)
            workbook.Number(row, 3 + i, Lookup(unit.states, kNotSubmitted[i], 0));
        ++row;
    }
    workbook.Close();
    return {FileBytes(file), "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
            AttachmentDisposition("未上报单位", ".xlsx")};
}

}  // namespace zorbix::server
