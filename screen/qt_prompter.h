// The window's Prompter: message boxes, the input box and file dialogs of
// Qt, and for long runs the busy pointer with a progress dialog, the window
// repainting while the run goes on (user input waits until it ends).
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QWidget>

#include "base/prompter.h"

namespace zorbix::screen {

class QtPrompter : public base::Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtPrompter() override;

    // The window the dialogs belong to.
    void SetParent(QWidget* parent) { parent_ = parent; }

    bool Show(const base::Message& message) override;
    bool ShowRepeated(const base::Message& message) override;
    std::optional<std::string> AskText(std::string_view title, std::string_view prompt) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog& dialog) override;
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog& dialog) override;
    void BeginBusy(std::string_view what) override;
    void Progress(long done, long total) override;
    void EndBusy() override;

private:
    std::optional<std::filesystem::path> ChooseSaveFileOnce(const base::FileDialog& dialog);

    bool Ask(const base::Message& message, bool* silenced);

    QPointer<QWidget> parent_;
    int busy_ = 0;  // nesting depth of busy runs
    QString busy_what_;
    QProgressDialog* progress_ = nullptr;
    QElapsedTimer since_repaint_;
};

// "kj|*.kj" (description|pattern, repeated) as a Qt filter "kj (*.kj)".
QString QtFileFilter(const std::string& filter);

}  // namespace zorbix::screen
