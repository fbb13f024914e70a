// "帮助信息(&H)": the help document lies beside the program; the window opens
// it with the desktop's viewer.
#pragma once

#include <filesystem>
#include <optional>

#include "base/prompter.h"

namespace zorbix::report {

// The help document's path for the window to open; when it is missing the
// help failure message is shown and nullopt returned.
std::optional<std::filesystem::path> MenuHelpView(base::Prompter& prompter,
                                                  const std::filesystem::path& program_dir);

// Shows the help failure message (for the window when the desktop could not
// open the document).
void HelpOpenFailed(base::Prompter& prompter);

}  // namespace zorbix::report
