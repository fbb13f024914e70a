// 帮助信息 without a document viewer: where no program on the desktop opens
// the help document (.docx), the window offers the same text in a window of
// its own.
#pragma once

#include <QDialog>
#include <filesystem>
#include <string>
#include <vector>

#include "base/prompter.h"

class QTextBrowser;

namespace zorbix::screen {

// The help document's paragraphs, the title first and each section's
// heading ("一、…") as a heading, in a window that stays open beside the main
// window.
class HelpWindow : public QDialog {
public:
    HelpWindow(const std::vector<std::string>& paragraphs, QWidget* parent = nullptr);
    QTextBrowser* text() const { return text_; }

private:
    QTextBrowser* text_;
};

// Whether a program of this desktop opens Word documents (xdg-mime names a
// default one).
bool DesktopOpensDocx();

// Opens the help document with the desktop's viewer; where there is none,
// says so and, when the user wants it, shows the help in a HelpWindow.
void OpenHelp(QWidget* parent, base::Prompter& prompter, const std::filesystem::path& help);

}  // namespace zorbix::screen
