// A temporary program directory holding a store of demo projects, for the
// window's benchmarks.
#pragma once

#include <filesystem>
#include <random>
#include <string>

#include "store/demo_projects.h"
#include "store/store.h"

namespace zorbix::bench {

inline std::filesystem::path DemoStoreDirectory(const std::string& name, int projects,
                                                std::uint64_t seed) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("zorbix-" + name + "-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(dir);
    store::Store s(dir);
    store::AddDemoProjects(s.records(), projects, seed);
    return dir;
}

}  // namespace zorbix::bench
