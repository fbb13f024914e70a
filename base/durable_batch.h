// A run that writes many files pays the disk's syncs once for the run, not
// once or twice per file. While a DurableBatch is open on a thread, the
// atomic writer leaves to the batch what it would do for each file alone:
//
// - SyncEachFile: the writer still syncs every file's data before renaming
//   it into place; the batch syncs each folder that received a rename once
//   when it finishes. A name that survives a crash names a complete file; a
//   rename whose folder was not yet synced may be lost, leaving the old file
//   or none, never a partial one.
// - SyncOnceAtEnd (runs of thousands of small files): the writer leaves each
//   file under its hidden temporary name; the batch's Finish makes all their
//   data durable with one sync of the file system, only then renames each
//   into place, and syncs the folders. A crash before that sync leaves only
//   temporaries, which the next run removes; after it, every name that
//   appears names a complete file. So each output stays complete or absent.
//
// The run reports its end only after Finish, so a run reported as done is
// durable as a whole.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/protected_targets.h"

namespace zorbix::base {

class DurableBatch {
public:
    enum class Mode { SyncEachFile, SyncOnceAtEnd };

    // Opens the batch on this thread; a batch opened inside another one
    // leaves everything to the outer one.
    explicit DurableBatch(Mode mode = Mode::SyncEachFile);
    // Finishes the batch if Finish was not called (an exception, say),
    // dropping what Finish would throw.
    ~DurableBatch();
    DurableBatch(const DurableBatch&) = delete;
    DurableBatch& operator=(const DurableBatch&) = delete;

    // Makes everything written since the batch opened durable and in place.
    // Throws Failure naming the first file that could not be put in place
    // (the others are put in place all the same).
    void Finish();

private:
    friend void SyncFolderOfRename(const std::filesystem::path& file);
    friend bool CommitsAreDeferred();
    friend std::optional<std::string> OutputProblem(const std::filesystem::path& target);
    friend bool DeferCommit(const std::filesystem::path& temporary,
                            const std::filesystem::path& path);
    void CommitDeferred();

    bool outer_;
    Mode mode_;
    std::set<std::filesystem::path> folders_;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> deferred_;
    TargetChecker checker_;
};

// Makes the rename that just put file into place durable: now, or at the end
// of this thread's open batch.
void SyncFolderOfRename(const std::filesystem::path& file);

// For the atomic writer: when this thread's open batch syncs once at its end,
// takes over the temporary (written, closed, not yet synced) and returns
// true; the batch renames it to path when it finishes.
bool DeferCommit(const std::filesystem::path& temporary, const std::filesystem::path& path);

// ProtectedTargetProblem, asked through this thread's open batch, which
// remembers for the run what it asked of the target folders and the
// protected files (a run of thousands of files in one folder asks the file
// system once per file, not three times); without a batch, afresh.
std::optional<std::string> OutputProblem(const std::filesystem::path& target);

// Whether this thread's open batch takes over the commits of temporaries.
bool CommitsAreDeferred();

// How many folder syncs this process has made, for tests.
std::size_t FolderSyncCount();

}  // namespace zorbix::base
