#include "screen/list_page.h"

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
    grid_ = new QTableView(this);
    grid_->setObjectName("DataGridzorbix");
    grid_->setGeometry(area.x(), area.y() + 18, area.width(), area.height() - 18);
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
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) RowSelected(current.row());
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
    if (following_ || (records_.HasCurrent() && records_.Position() == row + 1)) return;
    try {
        records_.MoveTo(row + 1);
    } catch (const base::Failure& e) {
        base::Inform(prompter_, store::kProgramTitle, e.what());
    }
}

void ListPage::FollowCurrentRecord() {
    if (!records_.HasCurrent() || records_.Position() > model_->rowCount()) return;
    const QModelIndex index =
        model_->index(records_.Position() - 1,
                      grid_->currentIndex().column() < 0 ? 0 : grid_->currentIndex().column());
    if (grid_->currentIndex().row() == index.row()) return;
    following_ = true;
    grid_->setCurrentIndex(index);
    grid_->scrollTo(index);
    following_ = false;
}

}  // namespace zorbix::screen
