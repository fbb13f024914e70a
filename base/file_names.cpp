#include "base/file_names.h"

namespace zorbix::base {

std::string QuotedFileName(const std::filesystem::path& file) {
    return "文件“" + file.string() + "”";
}

std::string FolderInsteadOfFile(const std::filesystem::path& file) {
    return QuotedFileName(file) + "是一个文件夹，不是文件。请把它移走，再放入正确的文件。";
}

std::optional<std::string> ProjectFileNameProblem(std::string_view number) {
    const std::string quoted = "项目编号“" + std::string(number) + "”";
    if (number.empty()) return "项目编号为空，不能用作文件名。";
    if (number == "." || number == "..") return quoted + "不能用作文件名。";
    // Characters that no file system of the survey's users accepts in a
    // name, path separators among them, and control characters.
    constexpr std::string_view kRefused = "/\\:*?\"<>|";
    for (char c : number) {
        if (kRefused.find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20)
            return quoted +
                   "含有不能用在文件名中的字符（\\ / : * ? \" < > | 或控制字符），"
                   "无法生成文件。请先改正项目编号。";
    }
    if (number.back() == ' ' || number.back() == '.')
        return quoted + "以空格或句点结尾，不能用作文件名。请先改正项目编号。";
    return std::nullopt;
}

}  // namespace zorbix::base
