// The program's own files that no output may replace: the open database and
// its journal files, the templates, the help document, the plan workbook,
// the backups and the executables of the program directory. Every writer of
// a file goes through the atomic file writer, which asks here first, so a
// saved result, an exchange file, a report or an export named after one of
// them is refused instead of replacing it.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_identity.h"

namespace zorbix::base {

// Records a file no output may replace; kind is what the refusal calls it
// ("数据库文件"). A file is recognised by its
// identity (device and inode, so a hard link, a symbolic link or another
// spelling of its path is caught) and, while it does not exist, by its
// folder's identity and its name.
// `owner` (the store that holds the file, say) lets ForgetProtectedFiles
// take its files back when it closes; files of no owner stay protected for
// the rest of the process.
void ProtectFile(const std::filesystem::path& file, std::string_view kind,
                 const void* owner = nullptr);

// Records a folder whose every file (at any depth) is protected.
void ProtectFolder(const std::filesystem::path& folder, std::string_view kind,
                   const void* owner = nullptr);

// Records a folder whose executable files are protected.
void ProtectExecutablesIn(const std::filesystem::path& folder, const void* owner = nullptr);

// Forgets the protected files recorded for `owner`.
void ForgetProtectedFiles(const void* owner);

// nullopt when target may be written; otherwise the message for the user,
// naming the file and what it is.
std::optional<std::string> ProtectedTargetProblem(const std::filesystem::path& target);

class FolderFacts;

// The same question for the many files of one run (a batch, durable_batch.h):
// what the file system says of each target's folder and of the protected
// files is asked once and remembered, the target itself always afresh.
// For a run whose folders are not moved or replaced while it writes.
class TargetChecker {
public:
    TargetChecker();
    ~TargetChecker();
    TargetChecker(const TargetChecker&) = delete;
    TargetChecker& operator=(const TargetChecker&) = delete;

    std::optional<std::string> Problem(const std::filesystem::path& target);

private:
    std::map<std::filesystem::path, std::unique_ptr<FolderFacts>> folders_;
    std::map<std::filesystem::path, std::optional<FileStatus>> identities_;
};

// Throws Failure with that message when target is protected.
void RefuseProtectedTarget(const std::filesystem::path& target);

}  // namespace zorbix::base
