#include "base/protected_targets.h"

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"

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

// What a path names now (symbolic links followed).
std::optional<FileStatus> Identity(const std::filesystem::path& path) { return StatusOf(path); }

bool Same(const std::optional<FileStatus>& a, const std::optional<FileStatus>& b) {
    return a && b && a->identity.device == b->identity.device &&
           a->identity.inode == b->identity.inode;
}

std::filesystem::path Folder(const std::filesystem::path& file) {
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

// The identity of a path, asked now or remembered for a batch.
using StatusLookup = std::function<std::optional<FileStatus>(const std::filesystem::path&)>;

}  // namespace

// What the file system says of the folder a target lies in: its identity,
// and (only when a protected folder asks) the identities of the folders it
// lies in.
class FolderFacts {
public:
    explicit FolderFacts(const std::filesystem::path& folder)
        : folder_(folder), identity_(Identity(folder)) {}

    const std::optional<FileStatus>& identity() const { return identity_; }

    const std::vector<std::optional<FileStatus>>& Ancestors() const {
        if (ancestors_) return *ancestors_;
        ancestors_.emplace();
        std::error_code ignored;
        auto dir = std::filesystem::weakly_canonical(std::filesystem::absolute(folder_), ignored);
        for (; !ignored && !dir.empty(); dir = dir.parent_path()) {
            ancestors_->push_back(Identity(dir));
            if (dir == dir.parent_path()) break;
        }
        return *ancestors_;
    }

private:
    std::filesystem::path folder_;
    std::optional<FileStatus> identity_;
    mutable std::optional<std::vector<std::optional<FileStatus>>> ancestors_;
};

namespace {

// What a target names now, found once per question however many files are
// protected: its own identity, always asked afresh, and its folder's facts.
class Target {
public:
    Target(const std::filesystem::path& path, const FolderFacts& folder,
           const StatusLookup& status_of)
        : path_(path), file_(Identity(path)), folder_(folder), status_of_(status_of) {}

    // The same file now, or the same name in the same folder (the file may
    // not exist yet, like a journal between two runs).
    // Asks the file system only what can decide it: a target that does not
    // exist yet can only be the file by name.
    bool IsFile(const std::filesystem::path& file) const {
        if (file_ && Same(file_, status_of_(file))) return true;
        return path_.filename() == file.filename() &&
               Same(folder_.identity(), status_of_(Folder(file)));
    }

    // True when the target's folder is the folder or lies inside it.
    bool IsInside(const std::filesystem::path& folder) const {
        const auto folder_identity = status_of_(folder);
        if (!folder_identity) return false;
        for (const auto& dir : folder_.Ancestors())
            if (Same(dir, folder_identity)) return true;
        return false;
    }

    bool IsExecutableIn(const std::filesystem::path& folder) const {
        if (!file_ || !file_->regular || !file_->executable) return false;
        return Same(folder_.identity(), status_of_(folder));
    }

private:
    std::filesystem::path path_;
    std::optional<FileStatus> file_;
    const FolderFacts& folder_;
    const StatusLookup& status_of_;
};

bool Matches(const Entry& e, const Target& target) {
    switch (e.scope) {
        case Scope::File: return target.IsFile(e.path);
        case Scope::Folder: return target.IsInside(e.path);
        case Scope::Executables: return target.IsExecutableIn(e.path);
    }
    return false;
}

std::optional<std::string> ProblemOf(const std::filesystem::path& target, const Target& named) {
    auto& r = Protected();
    std::lock_guard lock(r.mutex);
    for (const Entry& e : r.entries)
        if (Matches(e, named))
            return MessageText("{1}是本程序的{2}，不能用来保存输出，没有写入。请另选一个文件名。",
                               {QuotedFileName(target), e.kind});
    return std::nullopt;
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
    const FolderFacts folder(Folder(target));
    const StatusLookup asked_now = Identity;
    return ProblemOf(target, Target(target, folder, asked_now));
}

TargetChecker::TargetChecker() = default;
TargetChecker::~TargetChecker() = default;

std::optional<std::string> TargetChecker::Problem(const std::filesystem::path& target) {
    const auto folder = Folder(target);
    auto facts = folders_.find(folder);
    if (facts == folders_.end())
        facts = folders_.emplace(folder, std::make_unique<FolderFacts>(folder)).first;
    const StatusLookup remembered = [this](const std::filesystem::path& path) {
        auto known = identities_.find(path);
        if (known == identities_.end()) known = identities_.emplace(path, Identity(path)).first;
        return known->second;
    };
    return ProblemOf(target, Target(target, *facts->second, remembered));
}

void RefuseProtectedTarget(const std::filesystem::path& target) {
    if (auto problem = ProtectedTargetProblem(target)) throw Failure(*problem);
}

}  // namespace zorbix::base
