#include "server/exchange_upload.h"

#include "exchange/exchange_operations.h"
#include "server/api_error.h"
#include "server/appended_owners.h"
#include "server/reconcile_data.h"
#include "server/run_prompter.h"
#include "server/scratch_folder.h"
#include "server/upload_file.h"
#include "store/catalogue.h"

namespace zorbix::server {
namespace {

// The name the upload goes by in append's messages.
constexpr const char* kUploadName = "交换文件.kj";

// Without a loaded plan, owners come from the projects' own unit column.
std::map<std::string, std::string> PlannedUnitsIfAny(const std::filesystem::path& program_dir) {
    try {
        return PlannedUnits(LoadedPlan(program_dir));
    } catch (const base::Failure&) {
        return {};
    }
}

Json DifferingJson(const std::vector<exchange::ResentProject>& differing) {
    Json list = Json::array();
    for (const exchange::ResentProject& p : differing) {
        Json columns = Json::array();
        Json changes = Json::array();
        for (int c : p.columns) {
            const std::string& name = store::Columns()[c].name;
            columns.push_back(name);
            changes.push_back(
                {{"column", name}, {"stored", p.stored[c]}, {"incoming", p.incoming[c]}});
        }
        list.push_back({{"number", p.number}, {"columns", columns}, {"changes", changes}});
    }
    return list;
}

}  // namespace

Json AppendUpload(RunStore& run, RunTicket& ticket, const std::string& bytes) {
    const ScratchFolder scratch;
    const auto file = scratch.path() / kUploadName;
    scratch.WithRoom("接收上传的文件", [&] { SaveUpload(file, bytes); });
    const auto planned = PlannedUnitsIfAny(run.directory());
    store::RecordSet& records = run.records();
    int first_added = records.Count() + 1;
    std::map<std::string, std::string> owners;
    RunPrompter prompter(ticket, file);
    const auto result =
        exchange::AppendProjects(records, prompter, run.directory(), [&](int first) {
            first_added = first;
            owners = OwnAppended(records, first, planned);
        });
    const std::string message = prompter.Text(scratch.path().string() + "/");
    if (!result.outcome) throw ApiError(422, message);
    Json added = Json::array();
    for (int position = first_added; position <= records.Count(); ++position)
        added.push_back(records.ReadRow(position)[store::kNumberColumn]);
    return {{"added", added},
            {"skipped", result.skipped},
            {"identical", result.identical},
            {"differing", DifferingJson(result.differing)},
            {"owners", owners},
            {"message", message}};
}

}  // namespace zorbix::server
