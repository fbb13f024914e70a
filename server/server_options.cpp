#include "server/server_options.h"

#include <charconv>
#include <vector>

namespace zorbix::server {
namespace {

int PortOf(const std::string& text) {
    int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
        throw OptionError("端口应为1到65535之间的整数：" + text);
    return port;
}

// "HOST:PORT", "[::1]:PORT"
void ReadListen(const std::string& text, ServerOptions& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        throw OptionError("--listen 应写成 主机:端口，例如 127.0.0.1:8013。");
    std::string host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    options.host = host;
    options.port = PortOf(text.substr(colon + 1));
}

void CheckTls(const ServerOptions& options) {
    if (options.tls_cert.empty() != options.tls_key.empty())
        throw OptionError("--tls-cert 与 --tls-key 须同时给出。");
    // Passwords and session cookies must not cross a network in clear text.
    if (!options.UsesTls() && !IsLoopback(options.host))
        throw OptionError("在本机以外的地址上监听时须使用TLS（--tls-cert 与 --tls-key）。");
}

}  // namespace

ServerOptions ParseServerOptions(int argc, const char* const* argv) {
    ServerOptions options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return options;
        }
        if (arg != "--dir" && arg != "--database" && arg != "--listen" && arg != "--tls-cert" &&
            arg != "--tls-key" && arg != "--init-admin" && arg != "--web")
            throw OptionError("未知参数：" + arg);
        if (i + 1 == args.size()) throw OptionError(arg + " 后面缺少取值。");
        const std::string& value = args[++i];
        if (arg == "--dir") options.dir = value;
        if (arg == "--database") options.database = value;
        if (arg == "--listen") ReadListen(value, options);
        if (arg == "--tls-cert") options.tls_cert = value;
        if (arg == "--tls-key") options.tls_key = value;
        if (arg == "--init-admin") options.init_admin = value;
        if (arg == "--web") options.web = value;
    }
    CheckTls(options);
    return options;
}

std::string ServerUsage() {
    return "用法: zorbix-server [--dir DIR] [--database URL] [--listen 主机:端口] [--tls-cert 证书 "
           "--tls-key 私钥]\n"
           "                    [--init-admin 账户名] [--web 目录]\n"
           "  --dir DIR            程序目录（其中的 zorbix2013.db），默认为程序所在目录\n"
           "  --database URL       "
           "PostgreSQL数据库的地址（postgresql://…），代替程序目录中的数据库文件\n"
           "  --listen 主机:端口    默认 127.0.0.1:8013；本机以外的地址须使用TLS\n"
           "  --tls-cert, --tls-key  PEM格式的证书与私钥，以HTTPS提供服务\n"
           "  --init-admin 账户名   建立管理员账户并显示其一次性密码，然后启动服务\n"
           "  --web 目录           网页文件所在目录，默认为程序旁的 web 目录\n";
}

bool IsLoopback(const std::string& host) {
    return host == "localhost" || host == "::1" || host.rfind("127.", 0) == 0;
}

}  // namespace zorbix::server
