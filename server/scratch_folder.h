// A private folder under the system's temporary folder for files the
// server makes only to hand them on (a report): removed with everything in
// it when the object goes, whatever happened meanwhile.
#pragma once

#include <filesystem>

namespace zorbix::server {

class ScratchFolder {
public:
    // Throws base::Failure with the user's message when none can be made.
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace zorbix::server
