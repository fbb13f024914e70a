// The backup a restore uses, read whole into a hidden file of this process
// beside the store before anything else happens, so that nothing done to
// the backup folder afterwards (the backup of the current store made before
// the restore, the removal of old backups, another program) can change or
// take away what is restored. The copy is removed when this ends; should
// the process be killed, the next start removes it.
#pragma once

#include <filesystem>
#include <string_view>

namespace zorbix::store {

class ChosenBackup {
public:
    // Throws Failure with the user's message when `name` is not a file name
    // of the backup folder, or the file is damaged or no store of this
    // program. Nothing has changed then.
    ChosenBackup(const std::filesystem::path& folder, std::string_view name,
                 const std::filesystem::path& store_directory);
    ~ChosenBackup();
    ChosenBackup(const ChosenBackup&) = delete;
    ChosenBackup& operator=(const ChosenBackup&) = delete;

    const std::filesystem::path& original() const { return original_; }
    const std::filesystem::path& copy() const { return copy_; }

private:
    std::filesystem::path original_;
    std::filesystem::path copy_;
};

}  // namespace zorbix::store
