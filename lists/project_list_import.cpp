#include "lists/project_list_import.h"

#include <algorithm>
#include <iterator>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/numeric_value.h"
#include "check/check_result.h"
#include "check/check_runs.h"
#include "check/rule_sets.h"
#include "exchange/exchange_messages.h"
#include "exchange/project_number_index.h"
#include "lists/import_plan.h"
#include "lists/list_file_reader.h"
#include "lists/list_files.h"
#include "store/backup_operations.h"
#include "store/catalogue.h"
#include "store/sqlite_db.h"
#include "store/store_messages.h"
#include "store/titles.h"

namespace zorbix::lists {
namespace {

using base::MessageText;

ImportResult Ended(base::Outcome outcome) {
    ImportResult result;
    result.outcome = outcome;
    return result;
}

ImportResult Fail(base::Prompter& prompter, const std::string& text,
                  base::Outcome outcome = base::Outcome::Failed) {
    base::Inform(prompter, store::kProgramTitle, text, base::Icon::Exclamation);
    return Ended(outcome);
}

std::string ProblemsText(const std::filesystem::path& file, const ImportPlan& plan) {
    std::string text =
        MessageText("导入项目表失败：{1}中有{2}处问题，没有导入任何项目。",
                    {base::QuotedFileName(file), std::to_string(plan.problem_count)});
    for (const auto& p : plan.problems) text.append("\n").append(p);
    if (plan.problem_count > static_cast<int>(plan.problems.size()))
        text += MessageText(
            "\n……其余{1}处问题没有列出。",
            {std::to_string(plan.problem_count - static_cast<int>(plan.problems.size()))});
    return text;
}

// Adds projects whose numbers are not stored, and gathers the findings of
// the added ones for the panel.
class ProjectAdder {
public:
    ProjectAdder(store::RecordSet& records, base::Prompter& prompter, ImportResult& result)
        : records_(records),
          prompter_(prompter),
          result_(result),
          index_(records.ColumnValues(store::kNumberColumn)) {
        result_.panel = std::string(check::kAllProjectsHeading) + std::string(check::kLineEnd);
    }

    void Add(const store::Record& record) {
        const std::string_view number = record[store::kNumberColumn];
        if (index_.Find(base::NumericValue(number))) {
            ++result_.skipped;
            if (!silenced_)
                silenced_ =
                    prompter_.ShowRepeated({std::string(store::kProgramTitle),
                                            MessageText(exchange::kNumberExists, {number})});
            return;
        }
        records_.AddNew(record);
        // The added rows need not stay in memory.
        if (++result_.added % 4096 == 0) records_.ReleaseCache();
        check::CheckAllTables(record, findings_);
        check::AppendFindingsText(result_.panel, findings_.findings);
        std::move(findings_.findings.begin(), findings_.findings.end(),
                  std::back_inserter(result_.findings));
        findings_.Reset();
    }

private:
    store::RecordSet& records_;
    base::Prompter& prompter_;
    ImportResult& result_;
    exchange::ProjectNumberIndex index_;
    check::CheckResult findings_;
    bool silenced_ = false;
};

// Adds the planned projects: those the plan kept, or else those of a second
// reading of the file, which must plan as the first did.
void AddProjects(const std::filesystem::path& file, ListFormat format, const ImportPlan& plan,
                 ProjectAdder& adder, base::BusyScope& busy) {
    const long count = plan.project_count;
    long done = 0;
    const auto add = [&](const IncomingProject& project) {
        adder.Add(project.record);
        if (++done % 256 == 0) busy.Progress(count + done, 2 * count);
    };
    if (plan.kept) {
        for (const IncomingProject& project : plan.projects) add(project);
        return;
    }
    ImportPlanner again(add);
    ReadListRows(file, format,
                 [&](int row, std::span<const ListCell> cells) { again.Row(row, cells); });
    const ImportPlan second = again.Finish();
    if (second.problem_count > 0 || second.project_count != plan.project_count)
        throw base::Failure(MessageText("{1}在导入时被改动了，与导入前检查的内容不同。",
                                        {base::QuotedFileName(file)}));
}

std::string DoneText(const ImportResult& result, bool findings, const std::string& left_out) {
    std::string text = MessageText("导入项目表完成：导入{1}个项目", {std::to_string(result.added)});
    if (result.skipped > 0)
        text += MessageText("，{1}个项目的编号已存在，没有导入", {std::to_string(result.skipped)});
    text += "。";
    if (!left_out.empty()) text += MessageText("\n{1}不是项目表的列，没有导入。", {left_out});
    if (findings) text += "\n导入的项目有审核结果，请在数据审核结果框内查看。";
    return text;
}

}  // namespace

ImportResult ImportProjectList(store::RecordSet& records, base::Prompter& prompter,
                               const std::filesystem::path& program_dir) {
    const auto file = prompter.ChooseOpenFile(
        {std::string(kImportTitle), std::string(kOpenListFilter), program_dir});
    if (!file || file->empty()) return Ended(base::Outcome::Cancelled);
    return ImportProjectListFrom(records, prompter, *file);
}

ImportResult ImportProjectListFrom(store::RecordSet& records, base::Prompter& prompter,
                                   const std::filesystem::path& file) {
    const auto format = ListFormatOf(file);
    if (!format) return Fail(prompter, MessageText("导入项目表失败：{1}", {kBadListName}));
    base::BusyScope busy(prompter, kImportTitle);
    ImportPlan plan;
    try {
        // Reading is the first half of the progress, adding the second.
        plan = PlanImport(file, *format, [&busy](long done, long total) {
            if (total > 0) busy.Progress(done, 2 * total);
        });
    } catch (const base::Failure& e) {
        return Fail(prompter, MessageText("导入项目表失败：{1}\n没有导入任何项目。", {e.what()}));
    } catch (const std::bad_alloc&) {
        return Fail(prompter, MessageText("导入项目表失败：{1}太大，内存不足。\n没有导入任何项目。",
                                          {base::QuotedFileName(file)}));
    }
    if (plan.problem_count > 0)
        return Fail(prompter, ProblemsText(file, plan), base::Outcome::Refused);
    try {
        // Writes a pending change of the current record before the run.
        if (records.Count() > 0) records.MoveFirst();
    } catch (const base::Failure& e) {
        return Fail(prompter,
                    MessageText("导入项目表失败！{1}\n{2}", {store::kRetryHint, e.what()}));
    }
    if (!store::BackUpBefore(records, prompter, store::operation::kImport))
        return Ended(base::Outcome::Failed);
    ImportResult result;
    try {
        store::OperationLabel label(records, store::operation::kImport);
        store::Transaction transaction(records.database());
        ProjectAdder adder(records, prompter, result);
        AddProjects(file, *format, plan, adder, busy);
        transaction.Commit();
    } catch (const base::Failure& e) {
        records.Reopen();  // the rolled-back rows must leave the set too
        return Fail(prompter, MessageText("导入项目表失败！{1}\n{2}\n本次没有导入任何项目。",
                                          {store::kRetryHint, e.what()}));
    }
    busy.Progress(1, 1);
    const bool findings =
        result.panel.size() > check::kAllProjectsHeading.size() + check::kLineEnd.size();
    base::Inform(prompter, store::kProgramTitle, DoneText(result, findings, plan.left_out));
    result.outcome = base::Outcome::Done;
    return result;
}

}  // namespace zorbix::lists
