#include "check/check_report_file.h"

#include <filesystem>

#include "store/atomic_file.h"
#include "store/error.h"
#include "store/gbk.h"

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

void TellFailure(store::Prompter& prompter, const std::string& why) {
    store::Inform(prompter, store::kProgramTitle, "审核结果未能保存：" + why);
}

}  // namespace

std::string CheckReportFileBytes(std::string_view panel) {
    return store::ToGbk(WithCrLf(panel));
}

bool SaveCheckReport(store::Prompter& prompter, std::string_view panel) {
    const auto file = prompter.ChooseSaveFile({std::string(kSaveDialogTitle),
                                               std::string(kSaveFilter), {}});
    if (!file || file->empty()) {
        // The answer to this question changes nothing; it only reminds.
        prompter.Show({std::string(kSaveDialogTitle), "请指定文件名！！", store::Icon::Question,
                       store::Buttons::YesNo});
        return false;
    }
    // The dialog offers only folders that exist; a typed or passed-in name
    // may still point elsewhere.
    const auto folder = file->parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder)) {
        TellFailure(prompter, "文件夹“" + folder.string() + "”不存在，文件“" + file->string() +
                                  "”没有写入。");
        return false;
    }
    try {
        store::WriteFileAtomically(*file, CheckReportFileBytes(panel));
    } catch (const store::GbkError& e) {
        TellFailure(prompter, std::string(e.what()) + "文件“" + file->string() + "”没有写入。");
        return false;
    } catch (const store::Failure& e) {
        TellFailure(prompter, e.what());
        return false;
    }
    store::Inform(prompter, store::kSavedFileTitle, "审核结果已保存在" + file->string() + "中。");
    return true;
}

}  // namespace zorbix::check
