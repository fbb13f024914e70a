// The files both programs read from the program directory and never write:
// the report template, the help document, the summary templates and the
// plan workbook. Protected once the store is open, so no output replaces
// them (the store protects its own files itself).
#pragma once

#include <filesystem>

namespace zorbix::app {

void ProtectProgramFiles(const std::filesystem::path& program_dir);

}  // namespace zorbix::app
