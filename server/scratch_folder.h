// A private folder under the system's temporary folder for files the
// server makes only to hand them on (a report) or takes in (an upload):
// removed with everything in it when the object goes, whatever happened
// meanwhile, and by the next start of the server when a kill gave the
// object no chance to go. Its name carries the server's process id
// ("zorbix-server-<pid>-XXXXXX") for that.
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

// Removes the scratch folders of this account's servers that no longer
// run: a server killed while making a file left them, with project data
// (an uploaded exchange file) in them.
void RemoveLeftoverScratchFolders();

}  // namespace zorbix::server
