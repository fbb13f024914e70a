#include "screen/dialog_screenshots.h"

#include <QApplication>

#include "base/prompter.h"
#include "screen/main_window.h"
#include "screen/safety_dialogs.h"
#include "store/catalogue.h"

namespace zorbix::screen {
namespace {

// A prompter that answers nothing: the dialogs are only looked at.
class SilentPrompter : public base::Prompter {
public:
    bool Show(const base::Message&) override { return false; }
    bool ShowRepeated(const base::Message&) override { return false; }
    std::optional<std::string> AskText(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseSaveFile(const base::FileDialog&) override {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> ChooseOpenFile(const base::FileDialog&) override {
        return std::nullopt;
    }
};

bool Save(QDialog& dialog, const QString& file) {
    dialog.show();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    const bool saved = dialog.grab().save(file);
    dialog.hide();
    return saved;
}

}  // namespace

bool SaveDialogScreenshots(MainWindow& window, const QString& directory) {
    store::RecordSet& records = window.records();
    SilentPrompter prompter;
    bool saved = true;
    // Three projects, each with changes in fields of long captions.
    std::vector<exchange::ResentProject> resent;
    for (int p = 1; p <= records.Count() && p <= 3; ++p) {
        const store::Row stored = records.ReadRow(p).ToRow();
        exchange::ResentProject project{stored[store::kNumberColumn], stored, stored, {}};
        for (const char* name : {"JB03", "JB04", "JF1102", "JL160", "JDCG"}) {
            const auto c = store::FindColumn(name);
            if (!c) continue;
            project.incoming[*c] = stored[*c].empty() ? "1" : stored[*c] + "0";
            project.columns.push_back(*c);
        }
        resent.push_back(std::move(project));
    }
    {
        ReviewDialog review(records, prompter, resent, &window);
        saved &= Save(review, directory + "/review.png");
    }
    {
        BackupDialog backups(records, prompter, &window);
        saved &= Save(backups, directory + "/backups.png");
    }
    if (records.Count() > 0) {
        const std::string number(records.ReadRow(1)[store::kNumberColumn]);
        HistoryDialog history(records, number, &window);
        saved &= Save(history, directory + "/history.png");
    }
    return saved;
}

}  // namespace zorbix::screen
