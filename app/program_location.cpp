#include "app/program_location.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "base/error.h"
#include "base/program_directory.h"
#include "report/report_files.h"
#include "store/store.h"
#include "summary/summary_catalogue.h"

namespace zorbix::app {
namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

[[noreturn]] void Refuse(const fs::path& dir, const std::string& reason) {
    throw base::Failure("无法建立用户数据目录“" + dir.string() + "”：" + reason +
                        "。请检查该目录是否可写，或用 --dir 指定程序目录。");
}

// Copies `from` to `to` unless `to` exists already; a missing source is
// no error (the package that brings it is not installed).
void Seed(const fs::path& from, const fs::path& to, const fs::path& dir) {
    std::error_code error;
    if (fs::exists(to, error) || !fs::is_regular_file(from, error)) return;
    fs::copy_file(from, to, fs::copy_options::skip_existing, error);
    if (error) Refuse(dir, "复制“" + from.filename().string() + "”失败：" + error.message());
}

}  // namespace

Surroundings CurrentSurroundings() {
    return {base::ExecutableDirectory(), Environment("XDG_DATA_HOME"), Environment("HOME")};
}

fs::path InstalledDataDir(const fs::path& executable_dir) {
    return executable_dir.parent_path() / "share" / "zorbix";
}

fs::path InstalledOfficeDir(const fs::path& executable_dir) {
    return InstalledDataDir(executable_dir) / "office";
}

fs::path UserDataDir(const Surroundings& s) {
    // The XDG rule: a relative XDG_DATA_HOME is to be ignored.
    if (!s.xdg_data_home.empty() && fs::path(s.xdg_data_home).is_absolute())
        return fs::path(s.xdg_data_home) / "zorbix";
    if (s.home.empty())
        throw base::Failure(
            "找不到用户数据目录：HOME 和 XDG_DATA_HOME 都未设置。请用 --dir 指定程序目录。");
    return fs::path(s.home) / ".local" / "share" / "zorbix";
}

bool IsPortableFolder(const fs::path& dir) {
    std::error_code error;
    const bool holds_program_files = fs::exists(dir / store::kDatabaseFileName, error) ||
                                     fs::exists(report::TemplatePath(dir), error) ||
                                     fs::exists(dir / summary::kTalentTemplate, error);
    return holds_program_files && ::access(dir.c_str(), W_OK) == 0;
}

fs::path ResolveProgramDirectory(const std::optional<fs::path>& option, const Surroundings& s) {
    if (option) return fs::absolute(*option);
    if (IsPortableFolder(s.executable_dir)) return s.executable_dir;
    const fs::path dir = UserDataDir(s);
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) Refuse(dir, error.message());
    const fs::path data = InstalledDataDir(s.executable_dir);
    Seed(report::TemplatePath(data), report::TemplatePath(dir), dir);
    Seed(report::HelpDocumentPath(data), report::HelpDocumentPath(dir), dir);
    const fs::path office = InstalledOfficeDir(s.executable_dir);
    for (const auto& summary : summary::Summaries())
        Seed(office / summary::TemplateFileName(summary), dir / summary::TemplateFileName(summary),
             dir);
    return dir;
}

}  // namespace zorbix::app
