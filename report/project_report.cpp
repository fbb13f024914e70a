#include "report/project_report.h"

#include <string>

#include "base/durable_batch.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/docx_bookmarks.h"
#include "report/report_files.h"
#include "report/report_messages.h"
#include "report/report_placements.h"
#include "store/catalogue.h"
#include "store/record_walk.h"
#include "store/titles.h"

namespace zorbix::report {
namespace {

using base::Message;
using store::kProgramTitle;

// The message for a failed generation: the template's own message when it
// is missing; otherwise the generation message with what failed beneath.
base::Message FailureMessage(const base::Failure& failure) {
    if (dynamic_cast<const TemplateMissing*>(&failure))
        return {std::string(kProgramTitle), std::string(kGenerationTemplateMissing)};
    return {std::string(kProgramTitle), base::MessageText(kGenerationFailed, {failure.what()})};
}

std::optional<base::Message> TryReport(const store::Record& record,
                                       const std::filesystem::path& dir) {
    try {
        WriteProjectReport(record, dir);
    } catch (const base::Failure& failure) {
        return FailureMessage(failure);
    }
    return std::nullopt;
}

std::string ProjectNumber(const store::Record& record) {
    return std::string(record[store::kNumberColumn]);
}

// The name the report of a project is saved under, as the clerk is told it.
std::string ReportFileName(const store::Record& record) {
    return ProjectNumber(record) + std::string(kReportExtension);
}

}  // namespace

std::filesystem::path WriteProjectReport(const store::Record& record,
                                         const std::filesystem::path& program_dir) {
    const auto target = ReportPath(program_dir, ProjectNumber(record));
    WriteProjectReportTo(record, program_dir, target);
    return target;
}

void WriteProjectReportTo(const store::Record& record, const std::filesystem::path& program_dir,
                          const std::filesystem::path& target) {
    const std::string number = ProjectNumber(record);
    const auto source = TemplatePath(program_dir);
    // One look at the template per report: a run makes thousands.
    std::error_code ec;
    const auto status = std::filesystem::status(source, ec);
    if (std::filesystem::is_directory(status))
        throw base::Failure(base::FolderInsteadOfFile(source));
    if (!std::filesystem::is_regular_file(status)) throw TemplateMissing("报表模板文件不存在。");
    try {
        office::FillDocxBookmarks(source, target, ReportTexts(record));
    } catch (const base::Failure& failure) {
        throw base::Failure(base::MessageText("项目“{1}”：{2}", {number, failure.what()}));
    }
}

base::Outcome MakeProjectReport(const store::RecordSet& records, base::Prompter& prompter,
                                const std::filesystem::path& program_dir) {
    const auto failure = TryReport(records.Current(), program_dir);
    if (failure) prompter.Show(*failure);
    return failure ? base::Outcome::Failed : base::Outcome::Done;
}

base::Outcome CommandReport(const store::RecordSet& records, base::Prompter& prompter,
                            const std::filesystem::path& program_dir) {
    std::error_code ec;
    if (!std::filesystem::exists(TemplatePath(program_dir), ec)) {
        base::Inform(prompter, kProgramTitle, kTemplateMissing);
        return base::Outcome::Failed;
    }
    base::Outcome made = base::Outcome::Failed;
    {
        base::BusyScope busy(prompter, "报表生成");
        made = MakeProjectReport(records, prompter, program_dir);
    }
    if (made)
        base::Inform(prompter, store::kSavedFileTitle,
                     base::MessageText(kReportMade, {ReportFileName(records.Current())}));
    return made;
}

base::Outcome CommandReports(store::RecordSet& records, base::Prompter& prompter,
                             const std::filesystem::path& program_dir) {
    if (records.Count() == 0) {
        base::Inform(prompter, kProgramTitle, kNoProjects);
        return base::Outcome::Refused;
    }
    if (!base::Confirm(prompter, kProgramTitle, kAllReportsQuestion))
        return base::Outcome::Cancelled;
    const int total = records.Count();
    int failed = 0;
    bool silenced = false;
    // The reports are synced together and put in place at the end of the run.
    base::DurableBatch durable(base::DurableBatch::Mode::SyncOnceAtEnd);
    try {
        base::BusyScope busy(prompter, "报表生成");
        const auto walked =
            store::WalkAllRecords(records, {&busy}, [&](const store::Record& record) {
                if (auto failure = TryReport(record, program_dir)) {
                    ++failed;
                    if (!silenced) silenced = prompter.ShowRepeated(*failure);
                }
            });
        durable.Finish();
        if (!walked) return walked;
    } catch (const base::Failure& failure) {
        prompter.Show(
            {std::string(kProgramTitle), base::MessageText(kGenerationFailed, {failure.what()})});
        return base::Outcome::Failed;
    }
    if (failed == 0) {
        base::Inform(prompter, store::kSavedFileTitle, kAllReportsMade);
        return base::Outcome::Done;
    }
    base::Inform(prompter, store::kSavedFileTitle,
                 base::MessageText("共{1}个项目，其中{2}个项目的报表生成失败，其余报表已生成，"
                                   "格式可能需要调整。",
                                   {std::to_string(total), std::to_string(failed)}),
                 base::Icon::Exclamation);
    return base::Outcome::Failed;
}

}  // namespace zorbix::report
