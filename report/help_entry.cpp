#include "report/help_entry.h"

#include <pugixml.hpp>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/zip_archive.h"
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

bool OfferHelpInProgram(base::Prompter& prompter) {
    return prompter.Show({std::string(store::kProgramTitle), std::string(kNoHelpViewer),
                          base::Icon::Question, base::Buttons::OkCancel});
}

std::vector<std::string> HelpParagraphs(const std::filesystem::path& help_document) {
    const office::ZipArchive zip(help_document);
    pugi::xml_document document;
    if (!document.load_string(zip.Read("word/document.xml").c_str()))
        throw base::Failure(
            base::MessageText("{1}已损坏，无法读取。", {base::QuotedFileName(help_document)}));
    std::vector<std::string> paragraphs;
    const pugi::xml_node body = document.child("w:document").child("w:body");
    for (pugi::xml_node p = body.child("w:p"); p; p = p.next_sibling("w:p")) {
        std::string text;
        for (const pugi::xpath_node t : p.select_nodes(".//w:t")) text += t.node().text().get();
        if (!text.empty()) paragraphs.push_back(std::move(text));
    }
    return paragraphs;
}

}  // namespace zorbix::report
