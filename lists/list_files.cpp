#include "lists/list_files.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace zorbix::lists {

std::optional<ListFormat> ListFormatOf(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".xlsx") return ListFormat::Xlsx;
    if (extension == ".csv") return ListFormat::Csv;
    return std::nullopt;
}

}  // namespace zorbix::lists
