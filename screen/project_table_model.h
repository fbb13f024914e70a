// The project list grid's model: one row per record of the record set, one
// column per table column, headed by the column name. Rows are read on
// demand through RecordSet::ReadRow (the record set reads ahead in blocks),
// so a store of tens of thousands of projects costs nothing until shown.
// Adding and deleting records resets the model once the event loop runs,
// so an append of many records is one reset, not one per record.
#pragma once

#include <QAbstractTableModel>

#include "store/record_set.h"

namespace zorbix::screen {

class ProjectTableModel : public QAbstractTableModel {
public:
    ProjectTableModel(store::RecordSet& records, QObject* parent);
    ~ProjectTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows read since the model was made (for measuring laziness).
    long rows_read() const { return rows_read_; }

private:
    void OnRecordEvent(const store::RecordEvent& event);
    void ScheduleReset();
    const store::Record& RowAt(int row) const;

    store::RecordSet& records_;
    int listener_ = 0;
    int row_count_ = 0;
    bool reset_posted_ = false;
    mutable int cached_row_ = -1;  // the last row read, kept for its cells
    mutable store::Record cached_;
    mutable long rows_read_ = 0;
};

}  // namespace zorbix::screen
