#include "screen/list_page.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <array>

#include "base/error.h"
#include "screen/control_names.h"
#include "screen/project_table_model.h"
#include "screen/twips.h"
#include "store/titles.h"

namespace zorbix::screen {
namespace {

struct ListCommand {
    int left;
    const char* name;
    const char* caption;
};

constexpr std::array<ListCommand, 8> kCommands = {{
    {240, control::kListAdd, "项目添加"},
    {1440, control::kListEdit, "项目编辑"},
    {2640, control::kListCheck, "项目审核"},
    {3840, control::kListDelete, "项目删除"},
    {5040, control::kListSubmit, "项目上报"},
    {6240, control::kListReport, "报表生成"},
    {7440, control::kListPrint, "报表打印"},
    {8760, control::kListEndEditing, "结束编辑"},
}};

QPushButton* MakeButton(const char* caption, const char* name, QRect geometry, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    return b;
}

}  // namespace

ListPage::ListPage(store::RecordSet& records, base::Prompter& prompter, QWidget* parent)
    : QGroupBox("项目清单", parent), records_(records), prompter_(prompter) {
    setObjectName("FrameDataList");
    setAutoFillBackground(true);
    BuildGrid();
    BuildButtons();
    BuildPanel();
}

void ListPage::BuildGrid() {
    const QRect area = TwipRect(240, 300, 9495, 4000);
    auto* caption = new QLabel("Qorvath省科技计划项目执行情况年度调查", this);
    caption->setObjectName("GridCaption");
    caption->setAlignment(Qt::AlignCenter);
    caption->setAutoFillBackground(true);
    caption->setStyleSheet("background: #dfe6ee; border: 1px solid #9aa7b4;");
    caption->setGeometry(area.x(), area.y(), area.width(), 18);
    constexpr int kFilterRowHeight = 26;
    BuildFilterRow(QRect(area.x(), area.y() + 18, area.width(), kFilterRowHeight));
    const int grid_top = area.y() + 18 + kFilterRowHeight;
    grid_ = new QTableView(this);
    grid_->setObjectName("DataGridzorbix");
    grid_->setGeometry(area.x(), grid_top, area.width(), area.bottom() + 1 - grid_top);
    model_ = new ProjectTableModel(records_, grid_);
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    // Fixed sizes: nothing ever measures all rows.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(18);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->horizontalHeader()->setDefaultSectionSize(90);
    grid_->horizontalHeader()->setSortIndicatorShown(false);
    // Without an indicator first, enabling sorting would sort by column 0.
    grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grid_->setSortingEnabled(true);
    connect(grid_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this] { grid_->horizontalHeader()->setSortIndicatorShown(model_->sorted()); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { FollowCurrentRecord(); });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) RowSelected(current.row());
            });
}

void ListPage::BuildFilterRow(QRect row) {
    auto* label = new QLabel("筛选(&F)：", this);
    label->setGeometry(row.x(), row.y() + 3, 64, row.height() - 6);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(control::kListFilter);
    filter_->setPlaceholderText("项目编号、名称或承担单位（Ctrl+F）");
    filter_->setClearButtonEnabled(true);
    filter_->setGeometry(row.x() + 64, row.y() + 2, 260, row.height() - 4);
    label->setBuddy(filter_);
    only_findings_ = new QCheckBox("只看有审核问题的(&W)", this);
    only_findings_->setObjectName(control::kListOnlyFindings);
    only_findings_->setGeometry(row.x() + 336, row.y() + 2, 170, row.height() - 4);
    auto* store_order = new QPushButton("按录入顺序(&O)", this);
    store_order->setObjectName(control::kListStoreOrder);
    store_order->setGeometry(row.right() - 110, row.y() + 1, 110, row.height() - 2);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now == filter_) model_->PrepareFilter();
    });
    connect(filter_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_->SetFilter(text); });
    connect(only_findings_, &QCheckBox::toggled, this,
            [this](bool on) { model_->SetOnlyWithFindings(on); });
    connect(store_order, &QPushButton::clicked, this, [this] {
        model_->RestoreStoreOrder();
        grid_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    });
}

void ListPage::BuildButtons() {
    for (const ListCommand& c : kCommands)
        MakeButton(c.caption, c.name, TwipRect(c.left, 4440, 975, 375), this);
}

void ListPage::BuildPanel() {
    auto* frame = new QGroupBox("数据审核结果：", this);
    frame->setObjectName("FrameCheckReport");
    frame->setGeometry(TwipRect(240, 4920, 9495, 2655));
    panel_ = new QPlainTextEdit(frame);
    panel_->setObjectName(control::kPanel);
    panel_->setLineWrapMode(QPlainTextEdit::NoWrap);
    panel_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    panel_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    panel_->setGeometry(TwipRect(120, 300, 8040, 2235));
    MakeButton("清除", control::kPanelClear, TwipRect(8340, 600, 975, 375), frame);
    MakeButton("保存结果", control::kPanelSave, TwipRect(8340, 1200, 975, 375), frame);
    MakeButton("下一条(&N)", control::kPanelNextFinding, TwipRect(8340, 1800, 975, 300), frame)
        ->setToolTip("下一条审核结果（F8）");
    MakeButton("上一条(&B)", control::kPanelPreviousFinding, TwipRect(8340, 2160, 975, 300), frame)
        ->setToolTip("上一条审核结果（Shift+F8）");
}

QPushButton* ListPage::Button(const char* name) const { return findChild<QPushButton*>(name); }

QString ListPage::PanelText() const {
    QString text = panel_->toPlainText();
    return text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}

void ListPage::SetPanelText(const QString& text) {
    QString shown = text;
    panel_->setPlainText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ListPage::RowSelected(int row) {
    const int position = model_->PositionOfRow(row);
    if (following_ || (records_.HasCurrent() && records_.Position() == position)) return;
    try {
        records_.MoveTo(position);
    } catch (const base::Failure& e) {
        base::Inform(prompter_, store::kProgramTitle, e.what());
    }
}

void ListPage::FollowCurrentRecord() {
    if (!records_.HasCurrent()) return;
    const int row = model_->RowOfPosition(records_.Position());
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex index =
        model_->index(row, grid_->currentIndex().column() < 0 ? 0 : grid_->currentIndex().column());
    if (grid_->currentIndex().row() == index.row()) return;
    following_ = true;
    grid_->setCurrentIndex(index);
    grid_->scrollTo(index);
    following_ = false;
}

}  // namespace zorbix::screen
