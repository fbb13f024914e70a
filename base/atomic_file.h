// Writes a file so that a failure never leaves half a file under its final
// name: the content goes to a temporary file beside it, which is flushed to
// disk and then renamed over the final name.
#pragma once

#include <filesystem>
#include <string_view>

namespace zorbix::base {

// Writes bytes to path atomically. Throws Failure naming the file and the
// reason when it cannot be written, or when it is one of the program's own
// files (base/protected_targets.h).
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A temporary name beside path for writers that produce the file themselves
// (a zip library, say); call CommitTemporary to move it into place. Refuses
// a protected path as above, and removes the temporaries that a killed run
// left in that folder.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path);
void CommitTemporary(const std::filesystem::path& temporary, const std::filesystem::path& path);

// A file written piece by piece, atomically: the pieces go to a temporary
// file beside path (refused as TemporaryBeside refuses), which takes the
// final name only in Commit; a writer destroyed before it removes the
// temporary. Throws Failure naming the file and the reason, as
// WriteFileAtomically does.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Append(std::string_view bytes);
    void Commit();

private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    int descriptor_ = -1;
    bool committed_ = false;
};

// A hidden name of this process beside path (".<name>.<pid>.<n>.tmp"), of
// the form RemoveLeftoverTemporaries knows, for a writer that checks and
// commits its file itself (a backup copy, say). No check of path.
std::filesystem::path TemporaryName(const std::filesystem::path& path);

// Removes from a folder the hidden temporaries (".<name>.<pid>.<n>.tmp", and
// SQLite's journal beside one) of processes that no longer run: what a run
// killed while writing left behind. A temporary of a running process stays.
void RemoveLeftoverTemporaries(const std::filesystem::path& folder);

}  // namespace zorbix::base
