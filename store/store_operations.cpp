#include "store/store_operations.h"

#include "base/error.h"
#include "base/numeric_value.h"
#include "store/backup_operations.h"
#include "store/catalogue.h"
#include "store/damaged_store.h"
#include "store/others_connected.h"
#include "store/project_number.h"
#include "store/store_messages.h"
#include "store/titles.h"
#include "store/value_rules.h"

namespace zorbix::store {
namespace {

const std::string kRetry = "失败！" + std::string(kRetryHint);

void Tell(base::Prompter& p, std::string_view text) { base::Inform(p, kProgramTitle, text); }

std::string CurrentNumber(const RecordSet& records) {
    return std::string(records.Value(kNumberColumn));
}

// Position of the first record whose JB02 matches, or 0.
template <typename Match>
int FindFirst(const RecordSet& records, Match match) {
    const auto numbers = records.ColumnValues(kNumberColumn);
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (match(numbers[i])) return static_cast<int>(i) + 1;
    return 0;
}

}  // namespace

std::string PositionCaption(const RecordSet& records, std::string_view previous) {
    if (records.Count() == 0 || !records.HasCurrent()) return std::string(previous);
    return std::to_string(records.Position()) + "/" + std::to_string(records.Count());
}

base::Outcome LocateProject(RecordSet& records, base::Prompter& prompter, std::string_view wanted) {
    try {
        records.MoveFirst();
        const LocateKey key(wanted);
        const int found =
            FindFirst(records, [&key](std::string_view number) { return key.Matches(number); });
        if (found > 0) {
            records.MoveTo(found);
            return base::Outcome::Done;
        }
        records.MoveFirst();
        Tell(prompter, kLocateNotFound);
        return base::Outcome::Refused;
    } catch (const base::Failure& failure) {
        Tell(prompter, std::string(kLocateWhat) + kRetry + DamageNote(failure));
        return base::Outcome::Failed;
    }
}

base::Outcome AddProject(RecordSet& records, base::Prompter& prompter) {
    const auto answer = prompter.AskText(kProgramTitle, kAddPrompt);
    if (!answer || answer->empty()) return base::Outcome::Cancelled;
    // A number the outputs cannot carry (a control character, a character
    // GBK cannot hold) is no project number either.
    if (!HasProjectNumberLength(*answer) || ValueFault(Columns()[kNumberColumn], *answer)) {
        Tell(prompter, kAddBadNumber);
        return base::Outcome::Refused;
    }
    try {
        if (records.Count() > 0) {
            records.MoveFirst();
            const double value = base::NumericValue(*answer);
            const int found = FindFirst(records, [value](std::string_view number) {
                return base::NumericValue(number) == value;
            });
            if (found > 0) {
                records.MoveTo(found);
                Tell(prompter, kAddNumberExists);
                return base::Outcome::Refused;
            }
        }
        // Written at once, so the new number is never lost.
        Row row(kColumnCount);
        row[kNumberColumn] = *answer;
        OperationLabel label(records, operation::kAdd);
        records.AddNew(row);
    } catch (const base::Failure& e) {
        Tell(prompter, std::string(kAddWhat) + kRetry + "\n" + e.what());
        return base::Outcome::Failed;
    }
    return base::Outcome::Done;
}

base::Outcome DeleteProject(RecordSet& records, base::Prompter& prompter) {
    const std::string number = CurrentNumber(records);
    if (!base::Confirm(prompter, kProgramTitle,
                       std::string(kDeleteQuestion) + number + std::string(kDeleteQuestionEnd)))
        return base::Outcome::Cancelled;
    if (!BackUpBefore(records, prompter, operation::kDelete)) return base::Outcome::Failed;
    try {
        OperationLabel label(records, operation::kDelete);
        records.Delete();
        return base::Outcome::Done;
    } catch (const base::Failure& failure) {
        Tell(prompter,
             std::string(kDeleteWhat) + CurrentNumber(records) + kRetry + DamageNote(failure));
        return base::Outcome::Failed;
    }
}

base::Outcome InitialiseStore(RecordSet& records, base::Prompter& prompter) {
    if (!base::Confirm(prompter, kProgramTitle, kInitialiseQuestion))
        return base::Outcome::Cancelled;
    if (records.Count() == 0) return base::Outcome::Done;
    if (const auto others = OthersConnectedProblem(records.database(), "数据初始化")) {
        base::Inform(prompter, kProgramTitle, *others, base::Icon::Exclamation);
        return base::Outcome::Refused;
    }
    if (!BackUpBefore(records, prompter, operation::kInitialise)) return base::Outcome::Failed;
    base::BusyScope busy(prompter, kInitialiseBusy);
    // Deleting the first record n times, as one statement in one
    // transaction: a crash part-way leaves the store as it was.
    try {
        records.MoveFirst();
        OperationLabel label(records, operation::kInitialise);
        Transaction transaction(records.database());
        records.DeleteAll();
        transaction.Commit();
        return base::Outcome::Done;
    } catch (const base::Failure& failure) {
        const std::string number = CurrentNumber(records);
        records.Reopen();
        Tell(prompter, std::string(kDeleteWhat) + number + kRetry + DamageNote(failure));
        return base::Outcome::Failed;
    }
}

base::Outcome EndEditing(RecordSet& records, base::Prompter& prompter) {
    try {
        records.MoveFirst();
        if (records.Count() > 0) records.WriteBack();
        return base::Outcome::Done;
    } catch (const base::Failure& failure) {
        Tell(prompter, std::string(kEndEditingWhat) + kRetry + DamageNote(failure));
        return base::Outcome::Failed;
    }
}

}  // namespace zorbix::store
