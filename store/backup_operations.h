// The safety nets the user sees: the automatic backup before an operation
// that removes or replaces data, a backup on request, and restoring one.
// Each shows its own messages through the Prompter.
#pragma once

#include <filesystem>
#include <string_view>

#include "base/outcome.h"
#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::store {

// Backs up the store before `operation` changes it. Inside a OneBackupPerRun
// scope only the first call of the run makes a backup. False when the
// backup failed: the user has been told, naming the folder and the reason,
// and the operation must not go on.
bool BackUpBefore(RecordSet& records, base::Prompter& prompter, std::string_view operation);

// A command of many steps (an append of several files, a script's run)
// makes one backup: the first BackUpBefore while this lives.
class OneBackupPerRun {
public:
    explicit OneBackupPerRun(RecordSet& records);
    ~OneBackupPerRun();
    OneBackupPerRun(const OneBackupPerRun&) = delete;
    OneBackupPerRun& operator=(const OneBackupPerRun&) = delete;

private:
    RecordSet& records_;
};

// A backup now, as the user asked for one; says where it lies.
base::Outcome BackUpNow(RecordSet& records, base::Prompter& prompter);

// Asks, backs up the current store, then replaces every project by those of
// the backup `name` (a file in the backup folder) in one transaction, and
// logs the change. A damaged or foreign file is refused and nothing changes.
// The set is reopened afterwards.
base::Outcome RestoreBackup(RecordSet& records, base::Prompter& prompter, std::string_view name);

// For a store that cannot be opened because its file is damaged
// (StoreDamaged): asks, renames the damaged file (and its journal) to
// DamagedStoreName, puts the backup `name` of the program directory's
// backup folder in its place and logs the restore. Takes the instance lock
// itself; nothing changes when the backup is refused or the user says no.
base::Outcome RestoreDamagedStore(const std::filesystem::path& directory, base::Prompter& prompter,
                                  std::string_view name);

}  // namespace zorbix::store
