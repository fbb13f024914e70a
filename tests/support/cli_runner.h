// Runs the batch tool for end-to-end tests and captures what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_database.h"

namespace zorbix::testing {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string Slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The lines of a command's output, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Runs `zorbix-cli --dir DIR [--database DATABASE] ARGS…` (the binary named
// by ZORBIX_CLI): a program directory of its own on a store that another
// directory's program (a server) uses, which a PostgreSQL store allows.
inline CliResult RunCliOn(const std::filesystem::path& dir, const std::string& database,
                          const std::vector<std::string>& args,
                          const std::string& stdin_file = "/dev/null") {
    const char* cli = std::getenv("ZORBIX_CLI");
    std::string command =
        ShellQuote(cli ? cli : "zorbix-cli") + " --dir " + ShellQuote(dir.string());
    if (!database.empty()) command += " --database " + ShellQuote(database);
    for (const auto& a : args) command += " " + ShellQuote(a);
    const auto out = dir / ".cli-out";
    const auto err = dir / ".cli-err";
    command +=
        " <" + stdin_file + " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
    const int raw = std::system(command.c_str());
    CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return r;
}

// Runs `zorbix-cli --dir DIR ARGS…` on the directory's store in the engine
// the tests run against.
inline CliResult RunCli(const std::filesystem::path& dir, const std::vector<std::string>& args,
                        const std::string& stdin_file = "/dev/null") {
    return RunCliOn(dir, TestDatabaseFor(dir), args, stdin_file);
}

}  // namespace zorbix::testing
