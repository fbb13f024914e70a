#include "screen/qt_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "base/protected_targets.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QMessageBox::Icon BoxIcon(base::Icon icon) {
    switch (icon) {
        case base::Icon::Information: return QMessageBox::Information;
        case base::Icon::Question: return QMessageBox::Question;
        case base::Icon::Exclamation: return QMessageBox::Warning;
        case base::Icon::Critical: return QMessageBox::Critical;
        case base::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// Buttons labelled in Chinese whatever translations are installed.
void AddButtons(QMessageBox& box, base::Buttons buttons) {
    switch (buttons) {
        case base::Buttons::Ok: box.addButton("确定", QMessageBox::AcceptRole); break;
        case base::Buttons::OkCancel:
            box.setDefaultButton(box.addButton("确定", QMessageBox::AcceptRole));
            box.setEscapeButton(
                static_cast<QAbstractButton*>(box.addButton("取消", QMessageBox::RejectRole)));
            break;
        case base::Buttons::YesNo:
            box.setDefaultButton(box.addButton("是", QMessageBox::YesRole));
            box.setEscapeButton(
                static_cast<QAbstractButton*>(box.addButton("否", QMessageBox::NoRole)));
            break;
    }
}

std::optional<std::filesystem::path> ToPath(const QString& file) {
    if (file.isEmpty()) return std::nullopt;
    return std::filesystem::path(file.toStdString());
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = Q(filter).split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + QString(parts[i + 1]).replace(u';', u' ') + ")";
    return filters.join(";;");
}

QtPrompter::~QtPrompter() { delete progress_; }

bool QtPrompter::Ask(const base::Message& message, bool* silenced) {
    // A message in the middle of a long run gets the ordinary pointer.
    if (busy_ > 0) QApplication::restoreOverrideCursor();
    QMessageBox box(BoxIcon(message.icon), Q(message.title), Q(message.text), QMessageBox::NoButton,
                    parent_);
    AddButtons(box, message.buttons);
    QCheckBox* again = nullptr;
    if (silenced) {
        again = new QCheckBox("不再提示");
        box.setCheckBox(again);
    }
    box.exec();
    const auto role = box.buttonRole(box.clickedButton());
    if (silenced) *silenced = again->isChecked();
    if (busy_ > 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    return role == QMessageBox::AcceptRole || role == QMessageBox::YesRole;
}

bool QtPrompter::Show(const base::Message& message) { return Ask(message, nullptr); }

bool QtPrompter::ShowRepeated(const base::Message& message) {
    bool silenced = false;
    Ask(message, &silenced);
    return silenced;
}

std::optional<std::string> QtPrompter::AskText(std::string_view title, std::string_view prompt) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent_, Q(title), Q(prompt), QLineEdit::Normal, QString(), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

std::optional<std::filesystem::path> QtPrompter::ChooseSaveFile(const base::FileDialog& d) {
    // One of the program's own files is refused in the dialog already, with
    // the message the operation would give, and the dialog opens again.
    for (;;) {
        auto file = ChooseSaveFileOnce(d);
        if (!file || file->empty()) return file;
        const auto problem = base::ProtectedTargetProblem(*file);
        if (!problem) return file;
        Show({std::string(store::kProgramTitle), *problem, base::Icon::Exclamation,
              base::Buttons::Ok});
    }
}

std::optional<std::filesystem::path> QtPrompter::ChooseSaveFileOnce(const base::FileDialog& d) {
    QString selected;
    QString file = QFileDialog::getSaveFileName(parent_, Q(d.title), Q(d.initial_dir.string()),
                                                QtFileFilter(d.filter), &selected);
    // A name typed without an extension takes the one of the chosen type.
    const int star = static_cast<int>(selected.indexOf("*."));
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty() && star >= 0)
        file += selected.mid(star + 1).section(u')', 0, 0).section(u' ', 0, 0);
    return ToPath(file);
}

std::optional<std::filesystem::path> QtPrompter::ChooseOpenFile(const base::FileDialog& d) {
    return ToPath(QFileDialog::getOpenFileName(parent_, Q(d.title), Q(d.initial_dir.string()),
                                               QtFileFilter(d.filter)));
}

void QtPrompter::BeginBusy(std::string_view what) {
    if (busy_++ > 0) return;
    busy_what_ = Q(what);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    since_repaint_.start();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPrompter::Progress(long done, long total) {
    if (busy_ == 0 || total <= 0) return;
    if (!progress_) {
        progress_ = new QProgressDialog(busy_what_, QString(), 0, 1000, parent_);
        progress_->setWindowTitle(Q(store::kProgramTitle));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
    }
    progress_->setValue(static_cast<int>(1000.0 * std::min(done, total) / total));
    // Repaint a few times a second; user input waits until the run ends.
    if (since_repaint_.elapsed() < 50 && done < total) return;
    since_repaint_.restart();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPrompter::EndBusy() {
    if (busy_ == 0 || --busy_ > 0) return;
    delete progress_;
    progress_ = nullptr;
    QApplication::restoreOverrideCursor();
}

}  // namespace zorbix::screen
