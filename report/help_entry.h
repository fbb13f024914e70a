// "帮助信息(&H)": the help document lies beside the program; the window opens
// it with the desktop's viewer.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/prompter.h"

namespace zorbix::report {

// The help document's path for the window to open; when it is missing the
// help failure message is shown and nullopt returned.
std::optional<std::filesystem::path> MenuHelpView(base::Prompter& prompter,
                                                  const std::filesystem::path& program_dir);

// Shows the help failure message (for the window when the desktop could not
// open the document).
void HelpOpenFailed(base::Prompter& prompter);

// Asked when nothing on the machine opens the help document: true when the
// user wants the help inside the program.
bool OfferHelpInProgram(base::Prompter& prompter);

// The help document's paragraphs as plain text, in order (the help inside
// the program shows them). Throws base::Failure naming the file when it
// cannot be read.
std::vector<std::string> HelpParagraphs(const std::filesystem::path& help_document);

}  // namespace zorbix::report
