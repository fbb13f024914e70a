// An uploaded file's bytes saved into a scratch folder, for the core's
// operations that read files by name (exchange files, workbooks).
#pragma once

#include <filesystem>
#include <string>

namespace zorbix::server {

// Writes the bytes to `file`; throws base::Failure with the user's message
// when the server cannot.
void SaveUpload(const std::filesystem::path& file, const std::string& bytes);

}  // namespace zorbix::server
