#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/error.h"
#include "office/isolated_run.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORBIX_ISOLATED_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZORBIX_ISOLATED_ASAN 1
#endif
#ifdef ZORBIX_ISOLATED_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace zorbix::office {
namespace {

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReadAll(int fd) {
    std::string bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

// The data segment the child inherited, in bytes (VmData of its status).
std::uint64_t InheritedData() {
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char status[8192];
    const ssize_t n = ::read(fd, status, sizeof status - 1);
    ::close(fd);
    if (n <= 0) return 0;
    status[n] = '\0';
    const char* line = std::strstr(status, "VmData:");
    return line ? std::strtoull(line + 7, nullptr, 10) * 1024 : 0;
}

// Bounds the memory the work may take on top of what the child inherited:
// a small crafted file must not be able to make the reader claim gigabytes
// of the user's machine. malloc then fails inside the reader, which reports
// it or throws std::bad_alloc; either way the child ends with a message.
void LimitMemory(std::uint64_t budget) {
    if (!kIsolationBoundsMemory) return;
    const std::uint64_t inherited = InheritedData();
    if (inherited == 0) return;
    const rlimit limit{inherited + budget, inherited + budget};
    ::setrlimit(RLIMIT_DATA, &limit);
}

// The child: the fault of the work must end here, quietly, without the
// handlers the parent installed (a test harness's, a fuzzer's).
[[noreturn]] void RunChild(const std::function<std::string()>& work, const Isolation& isolation,
                           int fd) {
    for (int s : {SIGSEGV, SIGBUS, SIGABRT, SIGILL, SIGFPE}) ::signal(s, SIG_DFL);
    // What a faulting library prints is no message for the user.
    const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) ::dup2(quiet, STDERR_FILENO);
#ifdef ZORBIX_ISOLATED_ASAN
    __sanitizer_set_death_callback(nullptr);
#endif
    LimitMemory(isolation.memory_budget);
    std::string reply;
    try {
        reply = "S" + work();
    } catch (const base::Failure& failure) {
        reply = std::string("F") + failure.what();
    } catch (const std::bad_alloc&) {
        reply = "F" + isolation.out_of_memory;
    } catch (...) {
        ::_exit(3);
    }
    ::_exit(WriteAll(fd, reply) ? 0 : 4);
}

}  // namespace

std::string RunIsolated(const std::function<std::string()>& work, const Isolation& isolation) {
    const std::string& crashed = isolation.crashed;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw base::Failure(crashed);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw base::Failure(crashed);
    }
    if (pid == 0) {
        ::close(fds[0]);
        RunChild(work, isolation, fds[1]);
    }
    ::close(fds[1]);
    std::string reply = ReadAll(fds[0]);
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || reply.empty())
        throw base::Failure(crashed);
    if (reply[0] == 'F') throw base::Failure(reply.substr(1));
    return reply.substr(1);
}

}  // namespace zorbix::office
