#include "server/plan_load.h"

#include <fstream>
#include <set>
#include <unordered_set>

#include "base/atomic_file.h"
#include "base/message_text.h"
#include "office/sheet_reader.h"
#include "server/api_error.h"
#include "server/plan_texts.h"
#include "server/scratch_folder.h"
#include "store/catalogue.h"
#include "store/value_rules.h"

namespace zorbix::server {
namespace {

using reconcile::PlannedProject;

constexpr const char* kUnitColumn = "XMCDDW";

void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw base::Failure("服务器无法保存上传的文件，请稍后重试。");
}

// The messages name the file read: the scratch copy stands for the upload.
std::string UploadMessage(std::string message, const std::filesystem::path& scratch_file) {
    const std::string scratch = scratch_file.string();
    for (auto at = message.find(scratch); at != std::string::npos; at = message.find(scratch))
        message.replace(at, scratch.size(), reconcile::kPlanWorkbookXlsx);
    return message;
}

void RequireStorable(const PlannedProject& p) {
    const std::pair<int, std::string> values[] = {
        {store::kNumberColumn, PlannedNumber(p)},
        {store::ColumnIndex("JB01"), p.details[kPlannedNameDetail]},
        {store::ColumnIndex(kUnitColumn), PlannedUnit(p)},
    };
    for (const auto& [index, text] : values)
        if (const auto fault = store::ValueFault(store::Columns()[index], text))
            throw ApiError(422, base::MessageText("计划表第{1}行的“{2}”{3}，计划没有载入。",
                                                  {std::to_string(p.row), text, *fault}));
}

store::Row ShellOf(const PlannedProject& p) {
    store::Row row(store::kColumnCount);
    row[store::kNumberColumn] = PlannedNumber(p);
    row[store::ColumnIndex("JB01")] = p.details[kPlannedNameDetail];
    row[store::ColumnIndex(kUnitColumn)] = PlannedUnit(p);
    return row;
}

// The plan workbook is one of the program's own files, which no output
// may replace: only a new plan does, written beside it and renamed over it.
void KeepPlanWorkbook(const std::filesystem::path& program_dir, const std::string& bytes) {
    const auto target = program_dir / reconcile::kPlanWorkbookXlsx;
    const auto temporary = base::TemporaryName(target);
    std::error_code ec;
    try {
        Write(temporary, bytes);
        std::filesystem::rename(temporary, target);
    } catch (const std::exception&) {
        std::filesystem::remove(temporary, ec);
        throw base::Failure("服务器无法保存计划文件“" + target.string() + "”，计划没有载入。");
    }
}

Json UnitsWithoutAccount(store::Database& db, const std::vector<PlannedProject>& plan) {
    std::set<std::string> units;
    for (const PlannedProject& p : plan)
        if (!PlannedUnit(p).empty()) units.insert(PlannedUnit(p));
    for (const accounts::Account& account : accounts::AccountBook(db).All())
        units.erase(account.unit);
    return Json(std::vector<std::string>(units.begin(), units.end()));
}

}  // namespace

std::vector<PlannedProject> ReadUploadedPlan(const std::string& bytes) {
    const ScratchFolder scratch;
    const auto file = scratch.path() / reconcile::kPlanWorkbookXlsx;
    scratch.WithRoom("接收上传的文件", [&] { Write(file, bytes); });
    std::vector<PlannedProject> plan;
    try {
        plan = reconcile::PlanList(office::ReadFirstSheet(file), file.string());
    } catch (const base::Failure& failure) {
        BadInput(UploadMessage(failure.what(), file));
    }
    for (const PlannedProject& p : plan) RequireStorable(p);
    return plan;
}

Json LoadPlan(RunStore& run, const Caller& caller, const std::vector<PlannedProject>& plan,
              const std::string& bytes) {
    store::RecordSet& records = run.records();
    accounts::ProjectOwners project_owners(run.database());
    const auto numbers = records.ColumnValues(store::kNumberColumn);
    std::unordered_set<std::string> stored(numbers.begin(), numbers.end());
    const auto owners = project_owners.All();
    KeepPlanWorkbook(run.directory(), bytes);
    int added = 0;
    int already = 0;
    try {
        store::Transaction transaction(run.database());
        const store::OperationLabel label(records, kPlanLoad);
        const store::PersonLabel person(records.history(), caller.account.name);
        for (const PlannedProject& p : plan) {
            const std::string number = PlannedNumber(p);
            const bool is_new = stored.insert(number).second;
            if (is_new) records.AddNew(ShellOf(p));
            ++(is_new ? added : already);
            if (!PlannedUnit(p).empty() && (is_new || !owners.contains(number)))
                project_owners.SetOwner(number, PlannedUnit(p));
        }
        transaction.Commit();
    } catch (...) {
        records.Reopen();
        throw;
    }
    return {{"planned", plan.size()},
            {"added", added},
            {"already", already},
            {"units_without_account", UnitsWithoutAccount(run.database(), plan)}};
}

}  // namespace zorbix::server
