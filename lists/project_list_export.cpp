#include "lists/project_list_export.h"

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "lists/list_files.h"
#include "lists/list_writers.h"
#include "store/record_walk.h"
#include "store/titles.h"

namespace zorbix::lists {
namespace {

base::Outcome Fail(base::Prompter& prompter, const std::string& why) {
    base::Inform(prompter, store::kProgramTitle,
                 base::MessageText("项目表导出失败：{1}\n项目表没有写出。", {why}),
                 base::Icon::Exclamation);
    return base::Outcome::Failed;
}

// Back to the record that was current, which the walk moved away from.
void ReturnTo(store::RecordSet& records, int position) {
    try {
        if (position >= 1 && position <= records.Count()) records.MoveTo(position);
    } catch (const base::Failure&) {
        // The list is written; only the position is not where it was.
    }
}

}  // namespace

base::Outcome ExportProjectList(store::RecordSet& records, base::Prompter& prompter,
                                const std::filesystem::path& program_dir) {
    const auto file = prompter.ChooseSaveFile(
        {std::string(kExportTitle), std::string(kListFilter), program_dir / kProposedListName});
    if (!file || file->empty()) return base::Outcome::Cancelled;
    return ExportProjectListTo(records, prompter, *file);
}

base::Outcome ExportProjectListTo(store::RecordSet& records, base::Prompter& prompter,
                                  const std::filesystem::path& file) {
    const auto format = ListFormatOf(file);
    if (!format) return Fail(prompter, std::string(kBadListName));
    const int position = records.Position();
    base::Outcome walked = base::Outcome::Done;
    try {
        base::BusyScope busy(prompter, kExportTitle);
        const auto writer = MakeListWriter(*format, file);
        walked = store::WalkAllRecords(records, {&busy},
                                       [&](const store::Record& r) { writer->Add(r); });
        if (walked.IsDone()) writer->Finish();
    } catch (const base::Failure& e) {
        ReturnTo(records, position);
        return Fail(prompter, e.what());
    } catch (const std::bad_alloc&) {
        ReturnTo(records, position);
        return Fail(prompter, "内存不足。");
    }
    ReturnTo(records, position);
    if (!walked.IsDone()) return walked;
    base::Inform(prompter, store::kSavedFileTitle,
                 base::MessageText("项目表已导出到{1}，共{2}个项目。",
                                   {base::QuotedFileName(file), std::to_string(records.Count())}));
    return base::Outcome::Done;
}

}  // namespace zorbix::lists
