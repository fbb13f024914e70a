// The dialogs of the safety nets: the backup list with its restore, the
// current project's change history, and the review of re-sent projects
// after an append. Each binds widgets to the store's operations only; the
// messages come from the operations through the Prompter.
#pragma once

#include <QDialog>
#include <vector>

#include "base/prompter.h"
#include "exchange/resent_projects.h"
#include "store/record_set.h"

class QTableWidget;
class QTreeWidget;

namespace zorbix::screen {

// "备份与恢复": the backups, newest first (time, operation, projects); the
// chosen one is restored after the operation's confirmation question.
class BackupDialog : public QDialog {
public:
    BackupDialog(store::RecordSet& records, base::Prompter& prompter, QWidget* parent = nullptr);
    QTableWidget* table() const { return table_; }
    // Restores the backup of the selected row; the list is read again.
    void RestoreSelected();
    void BackUpNow();

private:
    void Fill();
    store::RecordSet& records_;
    base::Prompter& prompter_;
    QTableWidget* table_;
};

// "修改记录": the lines of one project number, newest first, with the
// columns' captions.
class HistoryDialog : public QDialog {
public:
    HistoryDialog(store::RecordSet& records, const std::string& project, QWidget* parent = nullptr);
    QTableWidget* table() const { return table_; }

private:
    QTableWidget* table_;
};

// The projects an append skipped whose incoming version differs: one
// tickable line per project (number and name), under it its differing
// fields (caption, column name, stored value, incoming value). "采用新数据" replaces the ticked
// ones.
class ReviewDialog : public QDialog {
public:
    ReviewDialog(store::RecordSet& records, base::Prompter& prompter,
                 std::vector<exchange::ResentProject> projects, QWidget* parent = nullptr);
    QTreeWidget* tree() const { return tree_; }
    // Replaces the ticked projects and closes the dialog when that worked.
    void TakeTicked();

private:
    void FillReview();
    store::RecordSet& records_;
    base::Prompter& prompter_;
    std::vector<exchange::ResentProject> projects_;
    QTreeWidget* tree_;
};

}  // namespace zorbix::screen
