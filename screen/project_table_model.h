// The project list grid's model: one row per record of the record set, the
// number and the name first, then the unit, the number of findings of the
// last check and the last change time, then the other table columns, headed
// by the column name. Rows are read on demand through RecordSet::ReadRow
// (the record set reads ahead in blocks), so a store of tens of thousands of
// projects costs nothing until shown.
//
// The rows can be narrowed by a filter text and sorted by any column; this
// only arranges the view: the record set, and with it every exchange file,
// report and summary, keeps the store order. Adding and deleting records
// resets the model once the event loop runs, so an append of many records
// is one reset, not one per record.
#pragma once

#include <QAbstractTableModel>
#include <QCollatorSortKey>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/record_set.h"

namespace zorbix::screen {

class ProjectTableModel : public QAbstractTableModel {
public:
    // The view columns that are no table column.
    static constexpr int kUnitColumn = 3;
    static constexpr int kFindingsColumn = 4;
    static constexpr int kChangedColumn = 5;

    ProjectTableModel(store::RecordSet& records, QObject* parent);
    ~ProjectTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Clicking a heading: sorts the shown rows by that column.
    void sort(int column, Qt::SortOrder order) override;

    // Shows only rows whose number, name or unit contain `text` (width and
    // case ignored); an empty text shows every row.
    void SetFilter(const QString& text);
    // Reads what the filter compares, so the first keystroke is as quick as
    // the others (the filter box calls it when it takes the focus).
    void PrepareFilter() const;
    // Shows only projects with findings in the last check.
    void SetOnlyWithFindings(bool on);
    // Back to the store order ("按录入顺序").
    void RestoreStoreOrder();
    bool sorted() const { return sort_column_ >= 0; }

    // The findings of the last check by project number. `whole_store` says
    // the check covered every project, so a project without lines has none.
    void SetFindingCounts(std::unordered_map<std::string, int> counts, bool whole_store);
    // The last change time by project number ("" where none is known); read
    // from the change history when the model is made and after each reset.
    void SetChangeTimes(std::unordered_map<std::string, std::string> times);

    // Store position (1-based) of a shown row and the shown row of a store
    // position (-1 when filtered out).
    int PositionOfRow(int row) const;
    int RowOfPosition(int position) const;

    // The table column a view column shows, -1 for the three added ones.
    static int TableColumn(int view_column);

    // Rows read since the model was made (for measuring laziness).
    long rows_read() const { return rows_read_; }

private:
    void OnRecordEvent(const store::RecordEvent& event);
    void ScheduleReset();
    void ReadChangeTimes();
    void Arrange();
    void Filter(std::vector<int>& positions) const;
    void Sort(std::vector<int>& positions) const;
    const std::vector<std::string>& Keys() const;
    std::string FindingsText(const std::string& number) const;
    int FindingCount(const std::string& number) const;
    const store::Record& RowAt(int row) const;

    store::RecordSet& records_;
    int listener_ = 0;
    int row_count_ = 0;
    bool reset_posted_ = false;
    bool value_changed_ = false;  // since the current record was last written
    std::vector<int> rows_;       // positions of the shown rows; empty = all, in store order
    bool arranged_ = false;       // rows_ holds the arrangement
    std::vector<int> row_of_position_;
    std::string filter_;  // folded
    bool only_with_findings_ = false;
    int sort_column_ = -1;
    Qt::SortOrder sort_order_ = Qt::AscendingOrder;
    std::unordered_map<std::string, int> finding_counts_;
    bool counts_cover_store_ = false;
    std::unordered_map<std::string, std::string> change_times_;
    mutable std::vector<std::string> keys_;     // folded number, name and unit, by position - 1
    mutable std::vector<std::string> numbers_;  // the numbers as stored, read with the keys
    mutable int cached_row_ = -1;               // the last row read, kept for its cells
    mutable store::Record cached_;
    mutable long rows_read_ = 0;
};

}  // namespace zorbix::screen
