#include "screen/damaged_store_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "store/backup_operations.h"
#include "store/backups.h"
#include "store/damaged_store.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QTableWidget* BackupTable(const std::filesystem::path& folder, QWidget* parent) {
    auto* table = new QTableWidget(0, 4, parent);
    table->setObjectName("GridBackups");
    table->setHorizontalHeaderLabels({QString::fromUtf8("时间"), QString::fromUtf8("操作"),
                                      QString::fromUtf8("项目数"), QString::fromUtf8("文件")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    for (const auto& b : store::WithProjectCounts(store::ListBackups(folder))) {
        const int row = table->rowCount();
        table->insertRow(row);
        const QStringList cells = {
            Text(b.time), Text(b.operation),
            b.projects < 0 ? QString::fromUtf8("已损坏") : QString::number(b.projects),
            Text(b.name)};
        for (int c = 0; c < cells.size(); ++c)
            table->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    if (table->rowCount() > 0) table->selectRow(0);
    return table;
}

}  // namespace

DamagedStoreDialog::DamagedStoreDialog(const std::filesystem::path& directory,
                                       base::Prompter& prompter, QWidget* parent)
    : QDialog(parent), directory_(directory), prompter_(prompter) {
    setObjectName("FormRestoreDamaged");
    setWindowTitle(QString::fromUtf8("备份与恢复"));
    table_ = BackupTable(directory / store::kBackupFolderName, this);
    auto* note = new QLabel(QString::fromUtf8("数据库文件已经损坏。选择一个备份，按“恢复”用它代替"
                                              "损坏的文件（损坏的文件改名保留）："),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    auto* restore = buttons->addButton(QString::fromUtf8("恢复(&R)"), QDialogButtonBox::ActionRole);
    restore->setObjectName("CommandRestore");
    restore->setEnabled(table_->rowCount() > 0);
    buttons->addButton(QString::fromUtf8("退出(&X)"), QDialogButtonBox::RejectRole);
    connect(restore, &QPushButton::clicked, this, [this] { RestoreSelected(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(760, 420);
}

void DamagedStoreDialog::RestoreSelected() {
    const int row = table_->currentRow();
    if (row < 0) return;
    const std::string name = table_->item(row, 3)->text().toStdString();
    if (store::RestoreDamagedStore(directory_, prompter_, name)) accept();
}

std::unique_ptr<store::Store> OpenStoreOrRestore(const std::filesystem::path& directory,
                                                 base::Prompter& prompter,
                                                 const std::string& database) {
    for (;;) {
        try {
            return std::make_unique<store::Store>(directory, database);
        } catch (const store::StoreDamaged& damaged) {
            if (!base::Confirm(prompter, store::kProgramTitle,
                               std::string(damaged.what()) + "\n\n现在从备份恢复数据吗？"))
                return nullptr;
            DamagedStoreDialog dialog(directory, prompter);
            if (dialog.exec() != QDialog::Accepted) return nullptr;
        }
    }
}

}  // namespace zorbix::screen
