#include "report/help_entry.h"

#include "report/report_files.h"
#include "report/report_messages.h"
#include "store/titles.h"

namespace zorbix::report {

std::optional<std::filesystem::path> MenuHelpView(base::Prompter& prompter,
                                                  const std::filesystem::path& program_dir) {
    const auto help = HelpDocumentPath(program_dir);
    std::error_code ec;
    if (std::filesystem::is_regular_file(help, ec)) return help;
    HelpOpenFailed(prompter);
    return std::nullopt;
}

void HelpOpenFailed(base::Prompter& prompter) {
    base::Inform(prompter, store::kProgramTitle, kHelpFailed);
}

}  // namespace zorbix::report
