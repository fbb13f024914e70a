// The files of the report subsystem in the program directory: the report
// template, the generated reports and the help document.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zorbix::report {

inline constexpr std::string_view kTemplateFileName = "2013模板.docx";
inline constexpr std::string_view kReportExtension = ".docx";
inline constexpr std::string_view kHelpFileName =
    "Qorvath省科技计划项目执行情况年度调查系统帮助文件.docx";
// The same help as a web page, which any browser opens.
inline constexpr std::string_view kHelpPageName =
    "Qorvath省科技计划项目执行情况年度调查系统帮助文件.html";

std::filesystem::path TemplatePath(const std::filesystem::path& program_dir);
std::filesystem::path HelpDocumentPath(const std::filesystem::path& program_dir);
std::filesystem::path HelpPagePath(const std::filesystem::path& program_dir);

// The report of a project: program directory / JB02 + ".docx". Throws
// base::Failure with the user's message when the project number does not
// make a safe file name (a path separator, a character no file system
// takes, an empty number).
std::filesystem::path ReportPath(const std::filesystem::path& program_dir,
                                 std::string_view project_number);

}  // namespace zorbix::report
