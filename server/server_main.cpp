// zorbix-server: the survey's store for units and the office over HTTP.
// Options, the first administrator, and a clean stop on SIGINT or SIGTERM.
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <thread>

#include "accounts/account_creation.h"
#include "base/error.h"
#include "base/program_directory.h"
#include "server/scratch_folder.h"
#include "server/server_options.h"
#include "server/shared_store.h"
#include "server/static_files.h"
#include "server/zorbix_server.h"

namespace zorbix::server {
namespace {

void InitAdmin(SharedStore& store, const std::string& name) {
    const std::string password = store.With([&](StoreParts& parts) {
        return accounts::CreateAccount(parts.accounts, {name, accounts::Role::Admin, "", {}});
    });
    std::cout << "管理员账户“" << name << "”的一次性密码：" << password << "（首次登录时须修改）"
              << std::endl;
}

std::string Address(const ServerOptions& options) {
    const bool v6 = options.host.find(':') != std::string::npos;
    return std::string(options.UsesTls() ? "https://" : "http://") + (v6 ? "[" : "") +
           options.host + (v6 ? "]" : "") + ":" + std::to_string(options.port);
}

// Serves until SIGINT or SIGTERM, which only a waiting thread takes: the
// signals are blocked everywhere else, so no request is cut off mid-way.
bool ServeUntilStopped(ZorbixServer& server, const sigset_t& stop_signals) {
    std::atomic<bool> finished{false};
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stop_signals, &signal);
        // A signal that comes before serving has begun must still stop it.
        while (!finished && !server.IsRunning())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        server.Stop();
    });
    const bool served = server.Serve();
    finished = true;
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return served;
}

// Every connection takes a file descriptor. The usual soft limit of 1024
// would make the server stop taking connections (and leave a client
// waiting unanswered) long before its workers run out, while many clients
// hold connections open; the hard limit is the system's word.
void AllowAllFileDescriptors() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

int Run(int argc, char** argv) {
    // Each of the hundreds of connection workers would otherwise get a heap
    // of its own up to eight per core, each keeping what its requests freed:
    // a third of the server's memory under 200 units. A heap per core
    // serves the requests that work at once.
    mallopt(M_ARENA_MAX, static_cast<int>(std::max(2u, std::thread::hardware_concurrency())));
    ServerOptions options;
    try {
        options = ParseServerOptions(argc, argv);
    } catch (const OptionError& error) {
        std::cerr << error.what() << '\n' << ServerUsage();
        return 2;
    }
    if (options.help) {
        std::cout << ServerUsage();
        return 0;
    }
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    AllowAllFileDescriptors();
    try {
        const auto dir = options.dir.value_or(base::ExecutableDirectory());
        if (options.web.empty()) options.web = DefaultWebDir(base::ExecutableDirectory());
        RemoveLeftoverScratchFolders();
        SharedStore store(dir, accounts::SystemClock(), options.database);
        if (options.init_admin) InitAdmin(store, *options.init_admin);
        ZorbixServer server(store, options, std::cerr, accounts::SystemClock());
        if (!server.Bind(options.host, options.port)) {
            std::cerr << "zorbix-server: 无法在" << Address(options)
                      << "上监听：地址无效或端口已被占用。\n";
            return 1;
        }
        std::cerr << "zorbix-server: 在" << Address(options) << "提供服务，程序目录" << dir.string()
                  << "。\n";
        return ServeUntilStopped(server, stop_signals) ? 0 : 1;
    } catch (const base::Failure& failure) {
        std::cerr << "zorbix-server: " << failure.what() << '\n';
        return 1;
    }
}

}  // namespace
}  // namespace zorbix::server

int main(int argc, char** argv) { return zorbix::server::Run(argc, argv); }
