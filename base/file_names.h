// File names made from a project number (JB02 + ".kj", JB02 + ".docx") must
// stay in their folder: this is the one test both writers use.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zorbix::base {

// nullopt when the project number makes a safe file name; otherwise the
// message for the user, saying what is wrong with it.
std::optional<std::string> ProjectFileNameProblem(std::string_view project_number);

// "文件“name”": how every message names a file.
std::string QuotedFileName(const std::filesystem::path& file);

// The message for a folder found where a file to read should be (a template,
// the plan workbook), rather than a reader's "not supported" or "not found".
std::string FolderInsteadOfFile(const std::filesystem::path& file);

}  // namespace zorbix::base
