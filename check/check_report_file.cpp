#include "check/check_report_file.h"

#include <filesystem>

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/message_text.h"
#include "check/check_messages.h"
#include "store/titles.h"

namespace zorbix::check {
namespace {

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out + "\r\n";
}

void TellFailure(base::Prompter& prompter, const std::string& why) {
    base::Inform(prompter, store::kProgramTitle, base::MessageText(kNotSaved, {why}));
}

}  // namespace

std::string CheckReportFileBytes(std::string_view panel) { return base::ToGbk(WithCrLf(panel)); }

base::Outcome SaveCheckReport(base::Prompter& prompter, std::string_view panel) {
    const auto file =
        prompter.ChooseSaveFile({std::string(kSaveDialogTitle), std::string(kSaveFilter), {}});
    if (!file || file->empty()) {
        // The answer to this question changes nothing; it only reminds.
        prompter.Show({std::string(kSaveDialogTitle), std::string(kNoSaveFileName),
                       base::Icon::Question, base::Buttons::YesNo});
        return base::Outcome::Cancelled;
    }
    // The dialog offers only folders that exist; a typed or passed-in name
    // may still point elsewhere.
    const auto folder = file->parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder)) {
        TellFailure(prompter,
                    base::MessageText("文件夹“{1}”不存在，{2}{3}",
                                      {folder.string(), base::QuotedFileName(*file), kNotWritten}));
        return base::Outcome::Failed;
    }
    try {
        base::WriteFileAtomically(*file, CheckReportFileBytes(panel));
    } catch (const base::GbkError& e) {
        TellFailure(prompter, base::MessageText("{1}{2}{3}", {e.what(), base::QuotedFileName(*file),
                                                              kNotWritten}));
        return base::Outcome::Failed;
    } catch (const base::Failure& e) {
        TellFailure(prompter, e.what());
        return base::Outcome::Failed;
    }
    base::Inform(prompter, store::kSavedFileTitle, base::MessageText(kSavedIn, {file->string()}));
    return base::Outcome::Done;
}

}  // namespace zorbix::check
