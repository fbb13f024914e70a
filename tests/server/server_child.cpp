#include "tests/server/server_child.h"

#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

namespace zorbix::testing {

using namespace std::chrono_literals;

std::string ServerPath() {
    const char* cli = std::getenv("ZORBIX_CLI");
    return (std::filesystem::path(cli ? cli : "zorbix-cli").parent_path() / "zorbix-server")
        .string();
}

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

ServerChild::ServerChild(std::filesystem::path dir, std::string database,
                         std::vector<std::string> wrapper,
                         std::vector<std::pair<std::string, std::string>> environment)
    : dir_(std::move(dir)),
      database_(std::move(database)),
      wrapper_(std::move(wrapper)),
      environment_(std::move(environment)) {
    std::filesystem::create_directory(TemporaryFolder());
}

ServerChild::~ServerChild() { Kill(); }

bool ServerChild::Start() {
    port_ = FreePort();
    std::vector<std::string> words = wrapper_;
    for (const std::string& word : {ServerPath(), std::string("--dir"), dir_.string(),
                                    std::string("--listen"), "127.0.0.1:" + std::to_string(port_)})
        words.push_back(word);
    if (!database_.empty()) {
        words.push_back("--database");
        words.push_back(database_);
    }
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string log = (logs_ / "err.txt").string();
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen(log.c_str(), "a", stderr);
        ::setenv("TMPDIR", TemporaryFolder().c_str(), 1);
        for (const auto& [name, value] : environment_) ::setenv(name.c_str(), value.c_str(), 1);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    for (int i = 0; i < 500; ++i) {
        if (Answers()) return true;
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    Kill();
    return false;
}

bool ServerChild::Answers() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(1s);
    return static_cast<bool>(client.Get("/api/catalogue"));
}

void ServerChild::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string ServerChild::Log() const {
    std::ifstream in(logs_ / "err.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace zorbix::testing
