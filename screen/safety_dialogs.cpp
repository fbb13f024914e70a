#include "screen/safety_dialogs.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "store/backup_operations.h"
#include "store/backups.h"
#include "store/catalogue.h"

namespace zorbix::screen {
namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QTableWidget* MakeTable(QWidget* parent, const QStringList& headings) {
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    return table;
}

void AddRow(QTableWidget* table, const QStringList& cells) {
    const int row = table->rowCount();
    table->insertRow(row);
    for (int c = 0; c < cells.size(); ++c) table->setItem(row, c, new QTableWidgetItem(cells[c]));
}

// Every column as wide as its widest heading or cell, so a time, a number
// or a caption is never cut; a column of values (`values`) at most 260
// pixels (the whole value is in its tooltip), the last one stretched. The
// table asks for the width all of them need, so the dialog opens wide
// enough.
void FitColumns(QTableWidget* table, std::initializer_list<int> values = {}) {
    table->resizeColumnsToContents();
    for (int c : values) table->setColumnWidth(c, std::min(table->columnWidth(c), 260));
    auto* header = table->horizontalHeader();
    header->setStretchLastSection(true);
    int needed = 0;
    for (int c = 0; c < table->columnCount(); ++c) needed += std::max(header->sectionSize(c), 60);
    table->setMinimumWidth(std::min(needed + 2 * table->frameWidth() + 24, 1400));
}

// Long values are shown whole in their tooltip.
void ShowWholeInTooltips(QTableWidget* table, std::initializer_list<int> columns) {
    for (int r = 0; r < table->rowCount(); ++r)
        for (int c : columns)
            if (auto* item = table->item(r, c)) item->setToolTip(item->text());
}

QString CaptionOf(const std::string& column) {
    if (column.empty()) return QString::fromUtf8("（整个项目）");
    const auto index = store::FindColumn(column);
    if (!index) return Text(column);
    const auto& caption = store::Columns()[*index].caption;
    return caption.empty() ? Text(column) : Text(caption).trimmed();
}

}  // namespace

BackupDialog::BackupDialog(store::RecordSet& records, base::Prompter& prompter, QWidget* parent)
    : QDialog(parent), records_(records), prompter_(prompter) {
    setObjectName("FormBackups");
    setWindowTitle(QString::fromUtf8("备份与恢复"));
    table_ = MakeTable(this, {QString::fromUtf8("时间"), QString::fromUtf8("操作"),
                              QString::fromUtf8("项目数"), QString::fromUtf8("文件")});
    table_->setObjectName("GridBackups");
    auto* buttons = new QDialogButtonBox(this);
    auto* restore = buttons->addButton(QString::fromUtf8("恢复(&R)"), QDialogButtonBox::ActionRole);
    restore->setObjectName("CommandRestore");
    auto* now = buttons->addButton(QString::fromUtf8("立即备份(&B)"), QDialogButtonBox::ActionRole);
    now->setObjectName("CommandBackupNow");
    buttons->addButton(QString::fromUtf8("关闭(&C)"), QDialogButtonBox::RejectRole);
    connect(restore, &QPushButton::clicked, this, [this] { RestoreSelected(); });
    connect(now, &QPushButton::clicked, this, [this] { BackUpNow(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(720, 420);
    Fill();
}

void BackupDialog::Fill() {
    table_->setRowCount(0);
    const auto folder = store::BackupFolder(records_.database());
    for (const auto& b : store::WithProjectCounts(store::ListBackups(folder)))
        AddRow(table_, {Text(b.time), Text(b.operation),
                        b.projects < 0 ? QString::fromUtf8("已损坏") : QString::number(b.projects),
                        Text(b.name)});
    FitColumns(table_);
    if (table_->rowCount() > 0) table_->selectRow(0);
}

void BackupDialog::RestoreSelected() {
    const int row = table_->currentRow();
    if (row < 0) return;
    store::RestoreBackup(records_, prompter_, table_->item(row, 3)->text().toStdString());
    Fill();
}

void BackupDialog::BackUpNow() {
    store::BackUpNow(records_, prompter_);
    Fill();
}

HistoryDialog::HistoryDialog(store::RecordSet& records, const std::string& project, QWidget* parent)
    : QDialog(parent) {
    setObjectName("FormHistory");
    setWindowTitle(QString::fromUtf8("修改记录 - ") + Text(project));
    table_ = MakeTable(
        this, {QString::fromUtf8("时间"), QString::fromUtf8("操作"), QString::fromUtf8("数据项"),
               QString::fromUtf8("原值"), QString::fromUtf8("新值")});
    table_->setObjectName("GridHistory");
    // The caption cell names the column in its tooltip; values too long
    // for their column are whole in theirs.
    for (const auto& line : records.history().ForProject(project)) {
        AddRow(table_, {Text(line.time), Text(line.operation), CaptionOf(line.column),
                        Text(line.old_value), Text(line.new_value)});
        if (!line.column.empty())
            table_->item(table_->rowCount() - 1, 2)->setToolTip(Text(line.column));
    }
    ShowWholeInTooltips(table_, {3, 4});
    FitColumns(table_, {3, 4});
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8("关闭(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(820, 460);
}

ReviewDialog::ReviewDialog(store::RecordSet& records, base::Prompter& prompter,
                           std::vector<exchange::ResentProject> projects, QWidget* parent)
    : QDialog(parent), records_(records), prompter_(prompter), projects_(std::move(projects)) {
    setObjectName("FormResentProjects");
    setWindowTitle(QString::fromUtf8("已存在项目的新数据"));
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("TreeResentProjects");
    FillReview();
    auto* buttons = new QDialogButtonBox(this);
    auto* take =
        buttons->addButton(QString::fromUtf8("采用新数据(&U)"), QDialogButtonBox::AcceptRole);
    take->setObjectName("CommandTakeIncoming");
    buttons->addButton(QString::fromUtf8("保留库中数据(&K)"), QDialogButtonBox::RejectRole);
    connect(take, &QPushButton::clicked, this, [this] { TakeTicked(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QString::fromUtf8("以下已存在的项目在文件中的数据与库中不同。"
                                              "勾选要采用文件中数据的项目："),
                            this);
    layout->addWidget(note);
    layout->addWidget(tree_);
    layout->addWidget(buttons);
    resize(std::max(900, tree_->minimumWidth() + 40), 520);
    // The stored and the incoming value share what is left, half each.
    const int values = width() - 60 - tree_->columnWidth(0) - tree_->columnWidth(1);
    tree_->setColumnWidth(2, std::max(180, values / 2));
    tree_->setFocus();
}

// One line per project, its number and name across every column (both
// whole), ticked with Space; under it one line per differing field: its
// caption, its column name, the stored and the incoming value (whole in the
// tooltip when long).
void ReviewDialog::FillReview() {
    tree_->setColumnCount(4);
    tree_->setHeaderLabels({QString::fromUtf8("项目 / 数据项"), QString::fromUtf8("列名"),
                            QString::fromUtf8("库中的数据"), QString::fromUtf8("文件中的数据")});
    for (const auto& p : projects_) {
        auto* item = new QTreeWidgetItem(
            tree_, {QString::fromUtf8("%1  %2").arg(Text(p.number), Text(p.stored[2]))});
        item->setFirstColumnSpanned(true);
        item->setCheckState(0, Qt::Unchecked);
        item->setToolTip(0, item->text(0));
        for (int c : p.columns) {
            const auto& column = store::Columns()[c];
            auto* field = new QTreeWidgetItem(item, {CaptionOf(column.name), Text(column.name),
                                                     Text(p.stored[c]), Text(p.incoming[c])});
            field->setToolTip(2, field->text(2));
            field->setToolTip(3, field->text(3));
        }
        item->setExpanded(true);
    }
    tree_->resizeColumnToContents(0);
    tree_->resizeColumnToContents(1);
    tree_->header()->setStretchLastSection(true);
    int spanned = 0;  // the widest number and name
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        spanned = std::max(spanned,
                           tree_->fontMetrics().horizontalAdvance(tree_->topLevelItem(i)->text(0)));
    const int fields = tree_->columnWidth(0) + tree_->columnWidth(1) + 2 * 180;
    tree_->setMinimumWidth(std::min(std::max(fields, spanned + 80) + 24, 1400));
}

void ReviewDialog::TakeTicked() {
    std::vector<exchange::ResentProject> chosen;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        if (tree_->topLevelItem(i)->checkState(0) == Qt::Checked) chosen.push_back(projects_[i]);
    if (chosen.empty()) {
        reject();
        return;
    }
    if (exchange::ReplaceResentProjects(records_, prompter_, chosen)) accept();
}

}  // namespace zorbix::screen
