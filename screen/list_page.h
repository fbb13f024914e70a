// The project list page: the grid of all projects, the eight project
// commands, and the check result panel with "清除" and "保存结果".
// Selecting a row of the grid makes that record current. Above the grid a
// filter box and a findings switch narrow its rows; a heading click sorts
// them and "按录入顺序" brings the store order back.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include "base/prompter.h"
#include "store/record_set.h"

namespace zorbix::screen {

class ProjectTableModel;

class ListPage : public QGroupBox {
public:
    ListPage(store::RecordSet& records, base::Prompter& prompter, QWidget* parent);

    QTableView* grid() const { return grid_; }
    ProjectTableModel* model() const { return model_; }
    QPlainTextEdit* panel() const { return panel_; }
    QLineEdit* filter() const { return filter_; }
    QCheckBox* only_findings() const { return only_findings_; }
    QPushButton* Button(const char* name) const;

    // The panel's text with CR LF line ends, as the check runs write it.
    QString PanelText() const;
    void SetPanelText(const QString& text);

    // Selects the current record's row (when the record moved elsewhere).
    void FollowCurrentRecord();

private:
    void BuildGrid();
    void BuildFilterRow(QRect area);
    void BuildButtons();
    void BuildPanel();
    void RowSelected(int row);

    store::RecordSet& records_;
    base::Prompter& prompter_;
    QTableView* grid_ = nullptr;
    ProjectTableModel* model_ = nullptr;
    QPlainTextEdit* panel_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QCheckBox* only_findings_ = nullptr;
    bool following_ = false;  // the selection follows a move, not the user
};

}  // namespace zorbix::screen
