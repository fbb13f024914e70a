#include "screen/help_window.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "base/error.h"
#include "report/help_entry.h"
#include "report/report_messages.h"
#include "store/titles.h"

namespace zorbix::screen {

HelpWindow::HelpWindow(const std::vector<std::string>& paragraphs, QWidget* parent)
    : QDialog(parent) {
    setObjectName("FormHelp");
    setWindowTitle(QString::fromUtf8("帮助信息"));
    text_ = new QTextBrowser(this);
    text_->setObjectName("TextHelp");
    static const QRegularExpression heading(QString::fromUtf8("^[一二三四五六七八九十]+、"));
    QString html;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const QString p = QString::fromStdString(paragraphs[i]).toHtmlEscaped();
        if (i < 2)
            html += "<h2 align=\"center\">" + p + "</h2>";
        else if (heading.match(p).hasMatch())
            html += "<h3>" + p + "</h3>";
        else
            html += "<p style=\"text-indent:2em\">" + p + "</p>";
    }
    text_->setHtml(html);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8("关闭(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(760, 600);
}

bool DesktopOpensDocx() {
    QProcess query;
    query.start("xdg-mime",
                {"query", "default",
                 "application/vnd.openxmlformats-officedocument.wordprocessingml.document"});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0)
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

void OpenHelp(QWidget* parent, base::Prompter& prompter, const std::filesystem::path& help) {
    if (DesktopOpensDocx()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(help.string()))))
            report::HelpOpenFailed(prompter);
        return;
    }
    if (!report::OfferHelpInProgram(prompter)) return;
    std::vector<std::string> paragraphs;
    try {
        paragraphs = report::HelpParagraphs(help);
    } catch (const base::Failure& e) {
        base::Inform(prompter, store::kProgramTitle,
                     std::string(report::kHelpFailed) + "\n" + e.what(), base::Icon::Exclamation);
        return;
    }
    auto* window = new HelpWindow(paragraphs, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

}  // namespace zorbix::screen
