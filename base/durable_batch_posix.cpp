// Folder and file-system syncs with POSIX calls (syncfs is Linux's). A port
// replaces this file only.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "base/durable_batch.h"
#include "base/error.h"
#include "base/error_reason.h"
#include "base/protected_targets.h"

namespace zorbix::base {
namespace {

thread_local DurableBatch* open_batch = nullptr;
std::atomic<std::size_t> folder_syncs{0};

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

void SyncFolder(const std::filesystem::path& folder) {
    ++folder_syncs;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string CannotWrite(const std::filesystem::path& path, const std::string& reason) {
    return "无法写入文件“" + path.string() + "”：" + reason + "。";
}

// Syncs the file system of each folder once; the reason of the first
// failure, if any. A folder that is gone is left to the renames into it,
// which then fail with their own reason.
std::optional<std::string> SyncFileSystems(const std::set<std::filesystem::path>& folders) {
    std::set<dev_t> synced;
    for (const auto& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) != 0) {
            ::close(fd);
            continue;
        }
        const bool fresh = synced.insert(info.st_dev).second;
        const int rc = fresh ? ::syncfs(fd) : 0;
        const std::string reason = rc != 0 ? ErrorReason(errno) : "";
        ::close(fd);
        if (rc != 0) return reason;
    }
    return std::nullopt;
}

}  // namespace

DurableBatch::DurableBatch(Mode mode) : outer_(open_batch == nullptr), mode_(mode) {
    if (outer_) open_batch = this;
}

DurableBatch::~DurableBatch() {
    try {
        Finish();
    } catch (const Failure&) {
        // The run is already ending with its own failure.
    }
}

// Puts the deferred temporaries in place once their data are durable; a
// temporary whose data could not be made durable never gets its name.
void DurableBatch::CommitDeferred() {
    if (deferred_.empty()) return;
    auto deferred = std::move(deferred_);
    deferred_.clear();
    std::set<std::filesystem::path> folders;
    for (const auto& [temporary, path] : deferred) folders.insert(FolderOf(temporary));
    if (const auto reason = SyncFileSystems(folders)) {
        for (const auto& entry : deferred) ::unlink(entry.first.c_str());
        throw Failure(CannotWrite(deferred.front().second, *reason));
    }
    std::optional<std::string> first_failure;
    for (const auto& [temporary, path] : deferred) {
        // Asked again: the protected file may have appeared meanwhile.
        auto problem = checker_.Problem(path);
        if (!problem && ::rename(temporary.c_str(), path.c_str()) != 0)
            problem = CannotWrite(path, ErrorReason(errno));
        if (problem) {
            ::unlink(temporary.c_str());
            if (!first_failure) first_failure = problem;
            continue;
        }
        folders_.insert(FolderOf(path));
    }
    if (first_failure) {
        for (const auto& folder : folders_) SyncFolder(folder);
        folders_.clear();
        throw Failure(*first_failure);
    }
}

void DurableBatch::Finish() {
    if (outer_ && open_batch == this) open_batch = nullptr;
    CommitDeferred();
    for (const auto& folder : folders_) SyncFolder(folder);
    folders_.clear();
}

void SyncFolderOfRename(const std::filesystem::path& file) {
    if (open_batch != nullptr)
        open_batch->folders_.insert(FolderOf(file));
    else
        SyncFolder(FolderOf(file));
}

std::optional<std::string> OutputProblem(const std::filesystem::path& target) {
    if (open_batch != nullptr) return open_batch->checker_.Problem(target);
    return ProtectedTargetProblem(target);
}

bool CommitsAreDeferred() {
    return open_batch != nullptr && open_batch->mode_ == DurableBatch::Mode::SyncOnceAtEnd;
}

bool DeferCommit(const std::filesystem::path& temporary, const std::filesystem::path& path) {
    if (!CommitsAreDeferred()) return false;
    open_batch->deferred_.emplace_back(temporary, path);
    return true;
}

std::size_t FolderSyncCount() { return folder_syncs; }

}  // namespace zorbix::base
