// Which program directory a start uses. A portable folder (the executable's
// own directory holding the store or the templates, and writable) is used
// as it always was; an installed program (in /usr/bin, say) keeps each
// user's store in the per-user data folder, seeded on first start with the
// report template and the help document from the installed data folder, and
// with the summary templates only where the collecting-office package put
// them there. `--dir DIR` overrides both.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zorbix::app {

// What the resolution reads from the environment, passed in so tests can
// choose it.
struct Surroundings {
    std::filesystem::path executable_dir;
    std::string xdg_data_home;  // "" when unset
    std::string home;           // "" when unset
};

Surroundings CurrentSurroundings();

// The installed data folder beside an installed executable's folder:
// /usr/bin → /usr/share/zorbix.
std::filesystem::path InstalledDataDir(const std::filesystem::path& executable_dir);

// Where the summary templates of the collecting-office package lie.
std::filesystem::path InstalledOfficeDir(const std::filesystem::path& executable_dir);

// The per-user data folder: $XDG_DATA_HOME/zorbix, else ~/.local/share/zorbix.
// Throws base::Failure when neither variable is set.
std::filesystem::path UserDataDir(const Surroundings& s);

// The executable's directory counts as a portable program folder.
bool IsPortableFolder(const std::filesystem::path& dir);

// The directory in use: `option` when given; else the portable folder; else
// the per-user data folder, created and seeded (a seed never overwrites a
// file already there). Throws base::Failure, naming the folder and the
// reason, when the per-user folder cannot be made or seeded.
std::filesystem::path ResolveProgramDirectory(const std::optional<std::filesystem::path>& option,
                                              const Surroundings& s);

}  // namespace zorbix::app
