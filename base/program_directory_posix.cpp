// The executable's directory on Linux, read from /proc. A port replaces this
// file only.
#include <system_error>

#include "base/program_directory.h"

namespace zorbix::base {

std::filesystem::path ExecutableDirectory() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path();
    return exe.parent_path();
}

}  // namespace zorbix::base
