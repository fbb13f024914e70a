// A private folder under the system's temporary folder for files the
// server makes only to hand them on (a report): removed with everything in
// it when the object goes, whatever happened meanwhile.
#pragma once

#include <filesystem>
#include <string_view>

#include "server/api_error.h"

namespace zorbix::server {

class ScratchFolder {
public:
    // Throws base::Failure with the user's message when none can be made.
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Throws ApiError 503 with the message that the server's disk is full
    // when the disk under the folder has less room left than a file the
    // server makes may take: asked before the work, so none is begun in
    // vain, and after a failure, whose own reason would otherwise name the
    // folder and speak the system's words. `work`: what cannot be done,
    // as it ends "暂时不能…" ("生成报表").
    void RequireRoom(std::string_view work) const;

    // Answers make() with room asked for before and after a failure.
    template <class Make>
    decltype(auto) WithRoom(std::string_view work, Make&& make) const {
        RequireRoom(work);
        try {
            return make();
        } catch (const ApiError&) {
            throw;
        } catch (const base::Failure&) {
            RequireRoom(work);
            throw;
        }
    }

private:
    std::filesystem::path path_;
};

}  // namespace zorbix::server
