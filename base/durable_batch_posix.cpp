// Folder syncs with POSIX calls. A port replaces this file only.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>

#include "base/durable_batch.h"

namespace zorbix::base {
namespace {

thread_local DurableBatch* open_batch = nullptr;
std::atomic<std::size_t> folder_syncs{0};

void SyncFolder(const std::filesystem::path& folder) {
    ++folder_syncs;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

DurableBatch::DurableBatch() : outer_(open_batch == nullptr) {
    if (outer_) open_batch = this;
}

DurableBatch::~DurableBatch() { Finish(); }

void DurableBatch::Finish() {
    for (const auto& folder : folders_) SyncFolder(folder);
    folders_.clear();
    if (outer_ && open_batch == this) open_batch = nullptr;
}

void SyncFolderOfRename(const std::filesystem::path& file) {
    const auto folder =
        file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    if (open_batch != nullptr)
        open_batch->folders_.insert(folder);
    else
        SyncFolder(folder);
}

std::size_t FolderSyncCount() { return folder_syncs; }

}  // namespace zorbix::base
