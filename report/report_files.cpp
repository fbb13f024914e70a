#include "report/report_files.h"

#include "base/error.h"
#include "base/file_names.h"

namespace zorbix::report {
namespace {

std::filesystem::path Beside(const std::filesystem::path& dir, std::string_view name) {
    return dir / std::filesystem::u8path(name);
}

}  // namespace

std::filesystem::path TemplatePath(const std::filesystem::path& program_dir) {
    return Beside(program_dir, kTemplateFileName);
}

std::filesystem::path HelpDocumentPath(const std::filesystem::path& program_dir) {
    return Beside(program_dir, kHelpFileName);
}

std::filesystem::path HelpPagePath(const std::filesystem::path& program_dir) {
    return Beside(program_dir, kHelpPageName);
}

std::filesystem::path ReportPath(const std::filesystem::path& program_dir,
                                 std::string_view project_number) {
    if (auto problem = base::ProjectFileNameProblem(project_number)) throw base::Failure(*problem);
    return Beside(program_dir, std::string(project_number) + std::string(kReportExtension));
}

}  // namespace zorbix::report
