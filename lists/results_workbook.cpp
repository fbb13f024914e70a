#include "lists/results_workbook.h"

#include <array>
#include <unordered_map>

#include "base/error.h"
#include "base/message_text.h"
#include "base/numeric_value.h"
#include "check/check_messages.h"
#include "check/check_report_file.h"
#include "lists/list_files.h"
#include "office/list_workbook.h"
#include "reconcile/plan_list.h"
#include "store/catalogue.h"
#include "store/titles.h"

namespace zorbix::lists {

using office::ListWorkbook;
namespace {

// Hands the file already chosen to the text save, which would ask for one;
// everything else goes to the user's prompter.
class ChosenFile : public base::Prompter {
public:
    ChosenFile(base::Prompter& inner, std::filesystem::path file)
        : inner_(inner), file_(std::move(file)) {}
    bool Show(const base::Message& m) override { return inner_.Show(m); }
    std::optional<std::string> AskText(std::string_view t, std::string_view p) override {
        return inner_.AskText(t, p);
    }
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog&) override {
        return file_;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog& d) override {
        return inner_.ChooseOpenFile(d);
    }

private:
    base::Prompter& inner_;
    std::filesystem::path file_;
};

constexpr std::string_view kReconcileTitle = "项目上报情况核对结果";

// The record of each project number of the store, read on demand.
RecordLookup StoreLookup(store::RecordSet& records) {
    auto positions = std::make_shared<std::unordered_map<std::string, int>>();
    const auto numbers = records.ColumnValues(store::kNumberColumn);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        positions->emplace(numbers[i], static_cast<int>(i) + 1);
    return [&records, positions](std::string_view number) -> std::optional<store::Record> {
        const auto it = positions->find(std::string(number));
        if (it == positions->end()) return std::nullopt;
        return records.ReadRow(it->second);
    };
}

std::vector<reconcile::ReconcileFinding> Reconciled(
    store::RecordSet& records, const std::filesystem::path& program_dir,
    std::vector<reconcile::PlannedProject>& plan,
    std::vector<reconcile::ReportedProject>& reported) {
    plan = reconcile::ReadPlanList(reconcile::FindPlanWorkbook(program_dir));
    reported = reconcile::ReportedProjects(records);
    return reconcile::ReconciliationFindings(plan, reported);
}

}  // namespace

void WriteFindingsWorkbook(const std::filesystem::path& file, const std::vector<FindingRow>& rows) {
    ListWorkbook book(file);
    WriteFindingsSheet(book, rows);
    book.Close();
}

void WriteReconcileWorkbook(const std::filesystem::path& file,
                            const std::vector<reconcile::ReconcileFinding>& findings) {
    static constexpr std::array<std::string_view, 11> kHeadings = {
        "序号",           "类别",           "项目编号",       "计划：项目名称",
        "计划：承担单位", "计划：主管部门", "上报：项目名称", "上报：承担单位",
        "上报：主管部门", "计划金额(万元)", "上报金额(万元)"};
    static constexpr std::array<double, 11> kWidths = {6, 9, 15, 30, 24, 20, 30, 24, 20, 14, 14};
    ListWorkbook book(file);
    book.AddSheet("核对结果");
    book.FreezeAt(1, 0);
    // The layout before the first cell.
    for (int c = 0; c < static_cast<int>(kWidths.size()); ++c) book.SetWidth(c, kWidths[c]);
    for (int c = 0; c < static_cast<int>(kHeadings.size()); ++c) book.Heading(0, c, kHeadings[c]);
    int r = 1;
    for (const auto& f : findings) {
        book.Number(r, 0, r);
        book.Text(r, 1, reconcile::KindName(f.kind));
        book.Text(r, 2, f.planned ? f.planned->number_text : f.reported->jb02);
        if (f.planned) {
            for (int i = 0; i < 3; ++i) book.Text(r, 3 + i, f.planned->details[i]);
            book.Number(r, 9, f.planned->amount);
        }
        if (f.reported) {
            book.Text(r, 6, f.reported->jb01);
            book.Text(r, 7, f.reported->xmcddw);
            book.Text(r, 8, f.reported->zgdw);
            // The store holds thousand yuan, the plan ten thousand.
            if (!f.reported->jf1102.empty())
                book.Number(r, 10, base::NumericValue(f.reported->jf1102) / 10);
        }
        ++r;
    }
    book.AutoFilter(0, std::max(r - 1, 0), static_cast<int>(kHeadings.size()) - 1);
    book.Close();
}

base::Outcome SaveResults(store::RecordSet& records, base::Prompter& prompter,
                          std::string_view panel, const std::filesystem::path& program_dir,
                          std::span<const check::Finding> findings) {
    const auto file = prompter.ChooseSaveFile(
        {std::string(check::kSaveDialogTitle), std::string(kResultsFilter), {}});
    if (!file || file->empty()) {
        prompter.Show({std::string(check::kSaveDialogTitle), std::string(check::kNoSaveFileName),
                       base::Icon::Question, base::Buttons::YesNo});
        return base::Outcome::Cancelled;
    }
    return SaveResultsTo(records, prompter, panel, program_dir, *file, findings);
}

base::Outcome SaveResultsTo(store::RecordSet& records, base::Prompter& prompter,
                            std::string_view panel, const std::filesystem::path& program_dir,
                            const std::filesystem::path& file,
                            std::span<const check::Finding> findings) {
    if (ListFormatOf(file) != ListFormat::Xlsx) {
        ChosenFile chosen(prompter, file);
        return check::SaveCheckReport(chosen, panel);
    }
    try {
        if (panel.starts_with(kReconcileTitle)) {
            std::vector<reconcile::PlannedProject> plan;
            std::vector<reconcile::ReportedProject> reported;
            WriteReconcileWorkbook(file, Reconciled(records, program_dir, plan, reported));
        } else {
            WriteFindingsWorkbook(file, FindingRowsOf(findings, StoreLookup(records)));
        }
    } catch (const base::Failure& e) {
        base::Inform(prompter, store::kProgramTitle,
                     base::MessageText(check::kNotSaved, {e.what()}));
        return base::Outcome::Failed;
    }
    base::Inform(prompter, store::kSavedFileTitle,
                 base::MessageText(check::kSavedIn, {file.string()}));
    return base::Outcome::Done;
}

}  // namespace zorbix::lists
