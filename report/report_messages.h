// The messages of the report commands, as the survey's users know them.
#pragma once

#include <string_view>

namespace zorbix::report {

inline constexpr std::string_view kTemplateMissing =
    "未找到报表模板文件！请将报表模板文件“xxxx模板.Doc”复制到安装目录。";
inline constexpr std::string_view kGenerationTemplateMissing =
    "报表生成失败！请将报表模板文件“xxxx模板.Doc”复制到安装目录。";
// {1} what failed, on the line beneath.
inline constexpr std::string_view kGenerationFailed =
    "报表生成失败！请关闭所有Word文件，重新启动系统后重试。\n{1}";
// {1} the report's file name.
inline constexpr std::string_view kReportMade = "报表已生成，文件名为：{1}，报表格式可能需要调整。";
inline constexpr std::string_view kAllReportsQuestion = "生成全部项目报表需要较长时间，要继续吗？";
inline constexpr std::string_view kAllReportsMade = "报表已全部生成，格式可能需要调整。";
inline constexpr std::string_view kNoProjects = "数据库中没有项目，没有生成报表。";
inline constexpr std::string_view kReportNotFound = "报表文件没有找到，请重新生成报表文件。";
inline constexpr std::string_view kHelpFailed = "帮助文件打开失败！请重新启动系统后重试。";
// Where no program opens the help document (.docx).
inline constexpr std::string_view kNoHelpViewer =
    "本机没有能打开帮助文件（Word文档）的程序。\n是否在本程序的窗口中查看帮助？"
    "（帮助也可以用浏览器打开同名的.html文件。）";

}  // namespace zorbix::report
