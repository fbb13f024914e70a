// The command line of zorbix-server.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace zorbix::server {

inline constexpr const char* kDefaultHost = "127.0.0.1";
inline constexpr int kDefaultPort = 8013;

// Wrong arguments; main prints the message and the usage and exits 2.
class OptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How long a request may take to arrive whole and its answer to be taken.
struct DeadlineLimits {
    // For a request's headers, for its body beyond what the rate allows,
    // and for taking an answer; and for the next request on the connection.
    std::chrono::milliseconds base{std::chrono::seconds(30)};
    // The slowest rate at which a body or an answer still gets more time.
    std::size_t bytes_per_second = 16 * 1024;
};

struct ServerOptions {
    std::optional<std::filesystem::path> dir;  // --dir; else the executable's directory
    std::string database;                      // --database URL; "" for the directory's file
    std::string host = kDefaultHost;           // --listen HOST:PORT
    int port = kDefaultPort;
    std::filesystem::path tls_cert;  // --tls-cert and --tls-key, both or neither
    std::filesystem::path tls_key;
    std::optional<std::string> init_admin;  // --init-admin NAME
    // --web DIR, the folder of the web pages; empty: the server answers
    // only the API (main sets the folder beside the program).
    std::filesystem::path web;
    bool help = false;
    // How long a connection may stay silent while a request or an answer
    // is under way, or idle between two requests, before it is closed.
    std::chrono::seconds quiet_limit{5};
    // How long a whole request may take to arrive, and its answer to be
    // taken, however its bytes are spaced.
    DeadlineLimits deadlines;

    bool UsesTls() const { return !tls_cert.empty(); }
};

ServerOptions ParseServerOptions(int argc, const char* const* argv);

// The usage, one option a line.
std::string ServerUsage();

// True for an address only this machine reaches (127.0.0.0/8, ::1, localhost).
bool IsLoopback(const std::string& host);

}  // namespace zorbix::server
