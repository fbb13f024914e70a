// Where the program lies: the database, the templates and everything the
// program writes are found there.
#pragma once

#include <filesystem>

namespace zorbix::base {

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

}  // namespace zorbix::base
