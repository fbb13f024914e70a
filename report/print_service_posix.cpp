// Printing on POSIX systems: LibreOffice renders the report to PDF, CUPS's
// lp prints it. Programs are started without a shell, with their output
// captured in a private folder that is removed afterwards.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "base/error.h"
#include "base/message_text.h"
#include "report/print_service.h"

namespace zorbix::report {
namespace {

namespace fs = std::filesystem;
using base::Failure;

constexpr std::string_view kNoLibreOffice =
    "未找到LibreOffice，无法打印报表。请安装LibreOffice（Debian/Ubuntu的软件包"
    "libreoffice-writer，或从 www.libreoffice.org 下载）后再打印。";
constexpr std::string_view kNoCups =
    "未找到CUPS打印命令lp，无法打印报表。请安装CUPS打印系统（软件包cups和cups-client）"
    "后再打印。";
constexpr std::string_view kNoDefaultPrinter =
    "没有设置默认打印机，无法打印报表。请在系统的打印机设置中添加打印机并把它设为默认打印机"
    "（也可以运行命令“lpoptions -d 打印机名称”），然后再打印。";
constexpr std::string_view kCupsNotRunning =
    "打印服务CUPS没有运行，无法打印报表。请启动CUPS（例如运行命令“systemctl start cups”）"
    "后再打印。";

// LibreOffice's conversion of one report takes seconds; a hung one is ended.
constexpr auto kConversionTimeout = std::chrono::seconds(180);
constexpr auto kPrintTimeout = std::chrono::seconds(60);

struct ChildResult {
    int status = -1;  // exit status; -1 when it did not end normally
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::optional<fs::path> FindProgram(std::string_view name) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!dirs.empty()) {
        const auto colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        const fs::path candidate =
            fs::path(dir.empty() ? "." : std::string(dir)) / std::string(name);
        if (::access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate))
            return candidate;
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

// A private folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "zorbix-print-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw base::Failure("无法建立打印用的临时文件夹。");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// In the child after fork: only system calls, nothing that allocates.
[[noreturn]] void ExecChild(char* const* argv, const fs::path& out, const fs::path& err) {
    const int in_fd = ::open("/dev/null", O_RDONLY);
    const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0) ::_exit(127);
    ::dup2(in_fd, 0), ::dup2(out_fd, 1), ::dup2(err_fd, 2);
    ::setpgid(0, 0);  // its own group, so a hung program is ended with its children
    ::execv(argv[0], argv);
    ::_exit(127);
}

// Runs a program (args[0] is its full path) and waits for it, at most `limit`.
ChildResult Run(const std::vector<std::string>& args, const fs::path& scratch,
                std::chrono::seconds limit) {
    const fs::path out = scratch / "out.txt", err = scratch / "err.txt";
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0) throw base::Failure(base::MessageText("无法启动程序“{1}”。", {args[0]}));
    if (child == 0) ExecChild(argv.data(), out, err);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int raw = 0;
    while (::waitpid(child, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-child, SIGKILL);
            ::waitpid(child, &raw, 0);
            throw base::Failure(
                base::MessageText("程序“{1}”长时间没有响应，已被终止。", {args[0]}));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(out), Slurp(err)};
}

std::string FirstLine(std::string text) {
    const auto end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

// CUPS's complaints in the clerk's words.
[[noreturn]] void FailForCups(const ChildResult& result) {
    const std::string& e = result.err;
    if (Contains(e, "No default destination") || Contains(e, "no system default"))
        throw base::Failure(std::string(kNoDefaultPrinter));
    if (Contains(e, "Scheduler") || Contains(e, "connect to server") ||
        Contains(e, "Connection refused"))
        throw base::Failure(std::string(kCupsNotRunning));
    throw base::Failure(
        base::MessageText("打印失败：{1}", {FirstLine(e.empty() ? result.out : e)}));
}

// The default destination as lp will choose it: LPDEST, PRINTER, then CUPS's.
std::string DefaultPrinter(const fs::path& lpstat, const fs::path& scratch) {
    for (const char* variable : {"LPDEST", "PRINTER"})
        if (const char* value = std::getenv(variable); value && *value) return value;
    const ChildResult result = Run({lpstat.string(), "-d"}, scratch, kPrintTimeout);
    constexpr std::string_view kPrefix = "system default destination: ";
    const auto at = result.out.find(kPrefix);
    if (result.status == 0 && at != std::string::npos)
        return FirstLine(result.out.substr(at + kPrefix.size()));
    if (result.status != 0) FailForCups(result);
    // Without a scheduler lpstat also says there is no default: tell which.
    const ChildResult scheduler = Run({lpstat.string(), "-r"}, scratch, kPrintTimeout);
    if (Contains(scheduler.out, "not running")) throw base::Failure(std::string(kCupsNotRunning));
    throw base::Failure(std::string(kNoDefaultPrinter));
}

fs::path RenderPdf(const fs::path& soffice, const fs::path& document, const fs::path& scratch) {
    const fs::path copy = scratch / "report.docx";
    std::error_code ec;
    fs::copy_file(document, copy, ec);
    if (ec)
        throw base::Failure(
            base::MessageText("无法读取报表文件“{1}”：{2}", {document.string(), ec.message()}));
    const ChildResult result =
        Run({soffice.string(), "-env:UserInstallation=file://" + (scratch / "profile").string(),
             "--headless", "--norestore", "--nologo", "--convert-to", "pdf", "--outdir",
             scratch.string(), copy.string()},
            scratch, kConversionTimeout);
    // soffice's exit status says nothing: only the PDF itself tells.
    const fs::path pdf = scratch / "report.pdf";
    if (!fs::is_regular_file(pdf, ec) || fs::file_size(pdf, ec) == 0)
        throw base::Failure(base::MessageText("LibreOffice未能把报表转换为PDF，无法打印。{1}",
                                              {FirstLine(result.err)}));
    return pdf;
}

}  // namespace

PrintJob PrintDocument(const fs::path& document) {
    const auto soffice = FindProgram("soffice");
    if (!soffice) throw base::Failure(std::string(kNoLibreOffice));
    const auto lp = FindProgram("lp");
    const auto lpstat = FindProgram("lpstat");
    if (!lp || !lpstat) throw base::Failure(std::string(kNoCups));
    ScratchFolder scratch;
    PrintJob job;
    job.printer = DefaultPrinter(*lpstat, scratch.path());
    const fs::path pdf = RenderPdf(*soffice, document, scratch.path());
    const ChildResult result =
        Run({lp->string(), "-d", job.printer, "-t", document.filename().string(), pdf.string()},
            scratch.path(), kPrintTimeout);
    if (result.status != 0) FailForCups(result);
    constexpr std::string_view kPrefix = "request id is ";
    if (const auto at = result.out.find(kPrefix); at != std::string::npos) {
        const std::string rest = result.out.substr(at + kPrefix.size());
        job.request = rest.substr(0, rest.find(' '));
    }
    return job;
}

}  // namespace zorbix::report
