#include "server/office_workbooks.h"

#include <fstream>
#include <iterator>

#include "lists/project_list_export.h"
#include "lists/results_workbook.h"
#include "office/zip_archive.h"
#include "reconcile/reconciliation.h"
#include "server/api_error.h"
#include "server/download_name.h"
#include "server/reconcile_data.h"
#include "server/run_prompter.h"
#include "server/scratch_folder.h"
#include "summary/summary_run.h"
#include "summary/summary_workbook.h"

namespace zorbix::server {
namespace {

namespace fs = std::filesystem;

constexpr const char* kXlsxType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
constexpr const char* kZipType = "application/zip";

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) throw base::Failure("服务器无法读取生成的文件，请稍后重试。");
    return bytes;
}

constexpr const char* kSummariesWork = "生成汇总表";

// The summaries are written beside copies of their templates, so the
// outputs of the program directory (the batch tool's) stay as they are.
// A copy that fails for want of room is no missing template.
void CopyTemplates(const fs::path& program_dir, const ScratchFolder& scratch) {
    if (!summary::SummaryTemplatesPresent(program_dir))
        throw ApiError(503, "服务器上缺少汇总表模板文件，暂时不能生成汇总表，请与调查办公室联系。");
    for (const summary::SummaryDefinition& s : summary::Summaries()) {
        const std::string name = summary::TemplateFileName(s);
        std::error_code error;
        fs::copy_file(program_dir / name, scratch.path() / name, error);
        if (!error) continue;
        scratch.RequireRoom(kSummariesWork);
        throw ApiError(503, "服务器上缺少汇总表模板“" + name + "”，暂时不能生成汇总表。");
    }
}

}  // namespace

Download SummariesDownload(RunStore& run, RunTicket& ticket) {
    const ScratchFolder scratch;
    const fs::path zip = scratch.path() / "summaries.zip";
    scratch.WithRoom(kSummariesWork, [&] {
        CopyTemplates(run.directory(), scratch);
        RunPrompter prompter(ticket);
        const auto result = summary::RunAllSummaries(run.records(), prompter, scratch.path());
        if (!result.Complete()) throw base::Failure(prompter.Text(scratch.path().string() + "/"));
        std::vector<std::pair<std::string, std::string>> parts;
        for (const std::string& name : result.written)
            parts.emplace_back(name, FileBytes(scratch.path() / name));
        office::WriteZip(zip, parts);
    });
    return {FileBytes(zip), kZipType, AttachmentDisposition("汇总表", ".zip")};
}

Download ReconcileDownload(RunStore& run) {
    const auto plan = LoadedPlan(run.directory());
    const auto reported = reconcile::ReportedProjects(run.records());
    const ScratchFolder scratch;
    const fs::path file = scratch.path() / "reconcile.xlsx";
    scratch.WithRoom("生成对照表", [&] {
        lists::WriteReconcileWorkbook(file, reconcile::ReconciliationFindings(plan, reported));
    });
    return {FileBytes(file), kXlsxType, AttachmentDisposition("对照表", ".xlsx")};
}

Download ExportDownload(RunStore& run, RunTicket& ticket) {
    const ScratchFolder scratch;
    const fs::path file = scratch.path() / "export.xlsx";
    RunPrompter prompter(ticket);
    scratch.WithRoom("导出项目表", [&] {
        if (!lists::ExportProjectListTo(run.records(), prompter, file))
            throw base::Failure(prompter.Text(scratch.path().string() + "/"));
    });
    return {FileBytes(file), kXlsxType, AttachmentDisposition("项目表_2013", ".xlsx")};
}

}  // namespace zorbix::server
