#include "base/protected_targets.h"

#include <sys/stat.h>

#include <mutex>
#include <optional>
#include <vector>

#include "base/error.h"
#include "base/file_names.h"

namespace zorbix::base {
namespace {

enum class Scope { File, Folder, Executables };

struct Entry {
    std::filesystem::path path;
    std::string kind;
    Scope scope;
    const void* owner;
};

struct Registry {
    std::mutex mutex;
    std::vector<Entry> entries;
};

Registry& Protected() {
    static Registry registry;
    return registry;
}

void Add(const std::filesystem::path& path, std::string_view kind, Scope scope, const void* owner) {
    std::error_code ignored;
    auto absolute = std::filesystem::absolute(path, ignored);
    if (ignored) absolute = path;
    auto& r = Protected();
    std::lock_guard lock(r.mutex);
    r.entries.push_back({absolute, std::string(kind), scope, owner});
}

// The identity of what a path names now (symbolic links followed).
std::optional<struct stat> Identity(const std::filesystem::path& path) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0) return std::nullopt;
    return s;
}

bool Same(const std::optional<struct stat>& a, const std::optional<struct stat>& b) {
    return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
}

std::filesystem::path Folder(const std::filesystem::path& file) {
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

// What a target names now, found once per question however many files are
// protected: its identity, its folder's, and (only when a protected folder
// asks) the identities of the folders it lies in.
class Target {
public:
    explicit Target(const std::filesystem::path& path)
        : path_(path), file_(Identity(path)), folder_(Identity(Folder(path))) {}

    // The same file now, or the same name in the same folder (the file may
    // not exist yet, like a journal between two runs).
    // Asks the file system only what can decide it: a target that does not
    // exist yet can only be the file by name.
    bool IsFile(const std::filesystem::path& file) const {
        if (file_ && Same(file_, Identity(file))) return true;
        return path_.filename() == file.filename() && Same(folder_, Identity(Folder(file)));
    }

    // True when the target's folder is the folder or lies inside it.
    bool IsInside(const std::filesystem::path& folder) const {
        const auto folder_identity = Identity(folder);
        if (!folder_identity) return false;
        for (const auto& dir : Ancestors())
            if (Same(dir, folder_identity)) return true;
        return false;
    }

    bool IsExecutableIn(const std::filesystem::path& folder) const {
        if (!file_ || !S_ISREG(file_->st_mode)) return false;
        if ((file_->st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0) return false;
        return Same(folder_, Identity(folder));
    }

private:
    const std::vector<std::optional<struct stat>>& Ancestors() const {
        if (ancestors_) return *ancestors_;
        ancestors_.emplace();
        std::error_code ignored;
        auto dir =
            std::filesystem::weakly_canonical(std::filesystem::absolute(Folder(path_)), ignored);
        for (; !ignored && !dir.empty(); dir = dir.parent_path()) {
            ancestors_->push_back(Identity(dir));
            if (dir == dir.parent_path()) break;
        }
        return *ancestors_;
    }

    std::filesystem::path path_;
    std::optional<struct stat> file_;
    std::optional<struct stat> folder_;
    mutable std::optional<std::vector<std::optional<struct stat>>> ancestors_;
};

bool Matches(const Entry& e, const Target& target) {
    switch (e.scope) {
        case Scope::File: return target.IsFile(e.path);
        case Scope::Folder: return target.IsInside(e.path);
        case Scope::Executables: return target.IsExecutableIn(e.path);
    }
    return false;
}

}  // namespace

void ProtectFile(const std::filesystem::path& file, std::string_view kind, const void* owner) {
    Add(file, kind, Scope::File, owner);
}

void ProtectFolder(const std::filesystem::path& folder, std::string_view kind, const void* owner) {
    Add(folder, kind, Scope::Folder, owner);
}

void ProtectExecutablesIn(const std::filesystem::path& folder, const void* owner) {
    Add(folder, "程序文件", Scope::Executables, owner);
}

void ForgetProtectedFiles(const void* owner) {
    auto& r = Protected();
    std::lock_guard lock(r.mutex);
    std::erase_if(r.entries, [owner](const Entry& e) { return e.owner == owner; });
}

std::optional<std::string> ProtectedTargetProblem(const std::filesystem::path& target) {
    const Target named(target);
    auto& r = Protected();
    std::lock_guard lock(r.mutex);
    for (const Entry& e : r.entries)
        if (Matches(e, named))
            return QuotedFileName(target) + "是本程序的" + e.kind +
                   "，不能用来保存输出，没有写入。请另选一个文件名。";
    return std::nullopt;
}

void RefuseProtectedTarget(const std::filesystem::path& target) {
    if (auto problem = ProtectedTargetProblem(target)) throw Failure(*problem);
}

}  // namespace zorbix::base
