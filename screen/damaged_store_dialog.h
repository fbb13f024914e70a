// The way back when the store's database file turns out to be damaged at
// start: the message that names the file, the question whether to restore
// a backup now, and a list of the backups of the program directory to
// choose from. The window opens on the restored store.
#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>
#include <string>

#include "base/prompter.h"
#include "store/store.h"

class QTableWidget;

namespace zorbix::screen {

// "备份与恢复" for a store that cannot be opened: the backups, newest
// first; 恢复 puts the chosen one in the damaged file's place.
class DamagedStoreDialog : public QDialog {
public:
    DamagedStoreDialog(const std::filesystem::path& directory, base::Prompter& prompter,
                       QWidget* parent = nullptr);
    QTableWidget* table() const { return table_; }
    // Restores the selected backup; accepts the dialog when that was done.
    void RestoreSelected();

private:
    std::filesystem::path directory_;
    base::Prompter& prompter_;
    QTableWidget* table_;
};

// Opens the store of `directory`. When its file is damaged, shows the
// message and offers to restore a backup, then opens the restored store;
// nullptr when the user declines. Other failures are thrown as Failure.
std::unique_ptr<store::Store> OpenStoreOrRestore(const std::filesystem::path& directory,
                                                 base::Prompter& prompter,
                                                 const std::string& database = "");

}  // namespace zorbix::screen
