// Atomic file writing with POSIX calls (fsync, rename). A port replaces
// this file only.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "base/atomic_file.h"
#include "base/durable_batch.h"
#include "base/error.h"
#include "base/error_reason.h"
#include "base/protected_targets.h"

namespace zorbix::base {
namespace {

std::string Reason() { return ErrorReason(errno); }

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& reason) {
    throw Failure("无法写入文件“" + path.string() + "”：" + reason + "。");
}

// The process that wrote a temporary ".<name>.<pid>.<n>.tmp", or 0 when
// the name is not of that form.
// SQLite's journal beside a temporary database ("….tmp-journal") belongs to
// the same writer.
pid_t WriterOf(std::string name) {
    for (const char* sidecar : {"-journal", "-wal", "-shm"})
        if (name.ends_with(std::string(".tmp") + sidecar))
            name.resize(name.size() - std::char_traits<char>::length(sidecar));
    if (name.size() < 8 || name[0] != '.' || !name.ends_with(".tmp")) return 0;
    const std::string stem = name.substr(0, name.size() - 4);
    const auto counter_dot = stem.rfind('.');
    if (counter_dot == std::string::npos || counter_dot == 0) return 0;
    const auto pid_dot = stem.rfind('.', counter_dot - 1);
    if (pid_dot == std::string::npos || pid_dot == 0) return 0;
    const std::string pid = stem.substr(pid_dot + 1, counter_dot - pid_dot - 1);
    const std::string counter = stem.substr(counter_dot + 1);
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.size() < 10 &&
               s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(pid) || !digits(counter)) return 0;
    return static_cast<pid_t>(std::stol(pid));
}

bool Ended(pid_t pid) { return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Removes the temporaries a killed run left in a folder, once per folder and
// process: a temporary of a process that no longer runs is never committed.
void RemoveLeftovers(const std::filesystem::path& folder) {
    static std::mutex mutex;
    static std::set<std::filesystem::path> swept;
    {
        std::lock_guard lock(mutex);
        if (!swept.insert(folder).second) return;
    }
    RemoveLeftoverTemporaries(folder);
}

}  // namespace

void RemoveLeftoverTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const pid_t writer = WriterOf(it->path().filename().string());
        std::error_code ignored;
        if (writer > 0 && Ended(writer) && it->is_regular_file(ignored))
            std::filesystem::remove(it->path(), ignored);
    }
}

std::filesystem::path TemporaryName(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    auto name = "." + path.filename().string() + "." + std::to_string(::getpid()) + "." +
                std::to_string(counter++) + ".tmp";
    return path.parent_path() / name;
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    if (auto problem = OutputProblem(path)) throw Failure(*problem);
    RemoveLeftovers(path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path());
    return TemporaryName(path);
}

void CommitTemporary(const std::filesystem::path& temporary, const std::filesystem::path& path) {
    // A batch that syncs once at its end renames it then.
    if (DeferCommit(temporary, path)) return;
    // Asked again: the protected file may have appeared while this one was
    // being written.
    if (auto problem = OutputProblem(path)) {
        ::unlink(temporary.c_str());
        throw Failure(*problem);
    }
    // Data that cannot be made durable must not get the file's name.
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const std::string reason = Reason();
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        Fail(path, reason);
    }
    ::close(fd);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = Reason();
        ::unlink(temporary.c_str());
        Fail(path, reason);
    }
    SyncFolderOfRename(path);
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path path)
    : path_(std::move(path)), temporary_(TemporaryBeside(path_)) {
    // The mode a stream opened for writing would give.
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) Fail(path_, Reason());
}

AtomicFileWriter::~AtomicFileWriter() {
    if (descriptor_ >= 0) ::close(descriptor_);
    if (!committed_) ::unlink(temporary_.c_str());
}

void AtomicFileWriter::Append(std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail(path_, Reason());
        written += static_cast<std::size_t>(n);
    }
}

void AtomicFileWriter::Commit() {
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0) Fail(path_, Reason());
    CommitTemporary(temporary_, path_);
    committed_ = true;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const auto temporary = TemporaryBeside(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail(path, Reason());
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string reason = Reason();
            ::close(fd);
            ::unlink(temporary.c_str());
            Fail(path, reason);
        }
        written += static_cast<std::size_t>(n);
    }
    // A batch that syncs once at its end makes the data durable and renames
    // it then.
    const bool deferred = CommitsAreDeferred();
    if ((!deferred && ::fsync(fd) != 0) || ::close(fd) != 0) {
        const std::string reason = Reason();
        ::unlink(temporary.c_str());
        Fail(path, reason);
    }
    if (deferred && DeferCommit(temporary, path)) return;
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string reason = Reason();
        ::unlink(temporary.c_str());
        Fail(path, reason);
    }
    SyncFolderOfRename(path);
}

}  // namespace zorbix::base
