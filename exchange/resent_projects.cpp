#include "exchange/resent_projects.h"

#include "base/message_text.h"
#include "base/numeric_value.h"
#include "exchange/exchange_messages.h"
#include "exchange/exchange_writer.h"
#include "exchange/project_number_index.h"
#include "store/backup_operations.h"
#include "store/catalogue.h"
#include "store/titles.h"

namespace zorbix::exchange {
namespace {

// So many numbers fit in one message; the review lists them all.
constexpr std::size_t kNumbersNamed = 20;

// An exchange file holds a placeholder (" " from submit, "." from
// distribute) where a value is empty, and append keeps it: an empty stored
// value and a placeholder coming back are the same value, so a project sent
// back unchanged does not count as changed.
std::string_view Compared(std::string_view value) {
    return value == kSubmitPlaceholder || value == kDistributePlaceholder ? std::string_view{}
                                                                          : value;
}

// Two values are the same when an exchange file carries them alike: it
// cannot carry a double quote (the writer puts an apostrophe in its place)
// nor an empty value (a placeholder), so a stored value and the one that
// comes back after a round trip through a file never count as a change.
bool SameAsCarried(std::string_view stored, std::string_view incoming) {
    stored = Compared(stored);
    incoming = Compared(incoming);
    if (stored.size() != incoming.size()) return false;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char a = stored[i] == '"' ? '\'' : stored[i];
        const char b = incoming[i] == '"' ? '\'' : incoming[i];
        if (a != b) return false;
    }
    return true;
}

}  // namespace

std::vector<int> DifferingColumns(const store::Record& stored,
                                  std::span<const std::string_view> incoming) {
    std::vector<int> columns;
    for (int c = 0; c < store::kColumnCount; ++c)
        if (!SameAsCarried(stored[c], incoming[static_cast<std::size_t>(c)])) columns.push_back(c);
    return columns;
}

std::string ResentSummary(int identical, const std::vector<ResentProject>& differing) {
    const int skipped = identical + static_cast<int>(differing.size());
    if (skipped == 0) return {};
    std::string text = base::MessageText(
        "已存在而没有追加的{1}个项目中，{2}个与库中的数据相同，{3}个不同",
        {std::to_string(skipped), std::to_string(identical), std::to_string(differing.size())});
    for (std::size_t i = 0; i < differing.size() && i < kNumbersNamed; ++i)
        text.append(i == 0 ? "：" : "、").append(differing[i].number);
    if (differing.size() > kNumbersNamed) text += "等";
    return text + "。";
}

base::Outcome ReplaceResentProjects(store::RecordSet& records, base::Prompter& prompter,
                                    const std::vector<ResentProject>& chosen) {
    if (chosen.empty()) return base::Outcome::Done;
    if (!store::BackUpBefore(records, prompter, store::operation::kReplace))
        return base::Outcome::Failed;
    try {
        if (records.HasPendingChange()) records.WriteBack();
        const ProjectNumberIndex index(records.ColumnValues(store::kNumberColumn));
        store::OperationLabel label(records, store::operation::kReplace);
        store::Transaction transaction(records.database());
        for (const auto& project : chosen) {
            const auto position = index.Find(base::NumericValue(project.number));
            if (!position)
                throw base::Failure(base::MessageText("找不到项目{1}。", {project.number}));
            records.MoveTo(*position);
            // Only the differences the review showed: a stored empty value
            // keeps its place against the placeholder, a stored double
            // quote against the apostrophe the file carried.
            for (int c : project.columns)
                records.SetValue(c, project.incoming[static_cast<std::size_t>(c)]);
            records.WriteBack();
        }
        transaction.Commit();
    } catch (const base::Failure& failure) {
        records.Reopen();
        base::Inform(prompter, store::kProgramTitle,
                     base::MessageText("采用新数据失败！{1}\n没有替换任何项目。", {failure.what()}),
                     base::Icon::Critical);
        return base::Outcome::Failed;
    }
    base::Inform(prompter, store::kProgramTitle,
                 base::MessageText("已用新数据替换{1}个项目。", {std::to_string(chosen.size())}));
    return base::Outcome::Done;
}

}  // namespace zorbix::exchange
