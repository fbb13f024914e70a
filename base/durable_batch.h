// A run that writes many files pays the folder's sync once, not once per
// file. While a DurableBatch is open on a thread, the atomic writer still
// syncs every file's data before renaming it into place, but leaves the sync
// of the folder that records the rename to the batch, which syncs each folder
// it was given once when it finishes.
//
// Why a crash stays harmless: a file's data reach the disk before its
// rename, so a name that survives a crash always names a complete file. A
// rename whose folder was not yet synced may be lost in a crash; then the
// name shows the old file or none, never a partial one. The run reports its
// end only after Finish, so a run reported as done is durable as a whole.
#pragma once

#include <cstddef>
#include <filesystem>
#include <set>

namespace zorbix::base {

class DurableBatch {
public:
    // Opens the batch on this thread; a batch opened inside another one
    // leaves the folders to the outer one.
    DurableBatch();
    // Finishes the batch if Finish was not called (an exception, say).
    ~DurableBatch();
    DurableBatch(const DurableBatch&) = delete;
    DurableBatch& operator=(const DurableBatch&) = delete;

    // Syncs every folder a rename went into since the batch opened.
    void Finish();

private:
    friend void SyncFolderOfRename(const std::filesystem::path& file);
    bool outer_;
    std::set<std::filesystem::path> folders_;
};

// Makes the rename that just put file into place durable: now, or at the end
// of this thread's open batch.
void SyncFolderOfRename(const std::filesystem::path& file);

// How many folder syncs this process has made, for tests.
std::size_t FolderSyncCount();

}  // namespace zorbix::base
