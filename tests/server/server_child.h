// The zorbix-server program started as a child process over a program
// directory, as an operator starts it, for tests of what a kill, a stopped
// database or a full disk does to the running program.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zorbix::testing {

// A loopback port nothing listens on right now.
int FreePort();
// zorbix-server, which lies beside zorbix-cli in the program directory.
std::string ServerPath();

class ServerChild {
public:
    // `database`: the PostgreSQL store's address, "" for the directory's
    // SQLite file. `wrapper`: words run before the program, which they
    // must exec with the words after them (a shell that mounts a folder
    // first, say). `environment`: variables set for the program; TMPDIR
    // is a folder of the child's own unless given there.
    ServerChild(std::filesystem::path dir, std::string database,
                std::vector<std::string> wrapper = {},
                std::vector<std::pair<std::string, std::string>> environment = {});
    // Kills the program when it still runs.
    ~ServerChild();
    ServerChild(const ServerChild&) = delete;
    ServerChild& operator=(const ServerChild&) = delete;

    // Starts the program on a free port and waits until it answers; false
    // (the program killed) when it did not within ten seconds.
    bool Start();
    // SIGKILL, as a power cut or the out-of-memory killer ends it.
    void Kill();
    // Started and not killed since.
    bool Running() const { return pid_ > 0; }

    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    // What the program wrote on its standard error so far.
    std::string Log() const;
    // The program's TMPDIR when the environment gave none.
    std::filesystem::path TemporaryFolder() const { return logs_ / "tmp"; }

private:
    bool Answers() const;

    std::filesystem::path dir_;
    std::string database_;
    std::vector<std::string> wrapper_;
    std::vector<std::pair<std::string, std::string>> environment_;
    TempDir logs_;
    pid_t pid_ = -1;
    int port_ = -1;
};

}  // namespace zorbix::testing
