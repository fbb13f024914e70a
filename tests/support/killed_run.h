// Starts the batch tool and kills it with SIGKILL after a delay, for tests
// that check what a crash in the middle of a run leaves behind.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_database.h"

extern char** environ;

namespace zorbix::testing {

// Runs `zorbix-cli --dir DIR ARGS…`, kills it after `delay` unless it ended
// first. Returns true when it was killed (false: it finished in time).
inline bool RunCliAndKill(const std::filesystem::path& dir, const std::vector<std::string>& args,
                          std::chrono::milliseconds delay) {
    const char* cli = std::getenv("ZORBIX_CLI");
    std::vector<std::string> words = {cli ? cli : "zorbix-cli", "--dir", dir.string()};
    // On the PostgreSQL pass the run works on the directory's test database,
    // as RunCli's do.
    if (OnPostgres()) {
        words.push_back("--database");
        words.push_back(TestDatabaseFor(dir));
    }
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;

    const auto deadline = std::chrono::steady_clock::now() + delay;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status);
}

}  // namespace zorbix::testing
