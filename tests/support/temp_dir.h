// A fresh directory per test, removed afterwards. mkdtemp makes its name
// unique among every process that runs at the same moment (ctest -j starts
// each test case as a process of its own).
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace zorbix::testing {

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zorbix-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed: " + pattern);
        path_ = pattern;
        // Readable by others, as an ordinary folder: a test's own CUPS
        // scheduler runs its filters as another user.
        std::filesystem::permissions(
            path_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                       std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                       std::filesystem::perms::others_exec);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace zorbix::testing
