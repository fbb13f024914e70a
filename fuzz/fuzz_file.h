// What the file-reading fuzz targets share: a private folder per process
// into which each input is written, since the readers take paths.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zorbix::fuzzing {

// A folder of this process under the temporary directory, made once and
// removed at exit.
inline const std::filesystem::path& FuzzFolder() {
    static const std::filesystem::path folder = [] {
        auto dir =
            std::filesystem::temp_directory_path() / ("zorbix-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        // Removed when the fuzzer ends its run (after the objects made later,
        // such as a store inside it, are gone).
        static const auto* const removed = new std::filesystem::path(dir);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*removed, ignored);
        });
        return dir;
    }();
    return folder;
}

// Writes the input to FuzzFolder()/name and returns its path.
inline std::filesystem::path WriteInput(const std::string& name, const std::uint8_t* data,
                                        std::size_t size) {
    const auto path = FuzzFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) __builtin_trap();  // the fuzzer's own folder must be writable
    return path;
}

}  // namespace zorbix::fuzzing
