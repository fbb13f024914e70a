#include "screen/project_table_model.h"

#include <QTimer>

#include "store/catalogue.h"

namespace zorbix::screen {

using store::RecordEventKind;

ProjectTableModel::ProjectTableModel(store::RecordSet& records, QObject* parent)
    : QAbstractTableModel(parent), records_(records), row_count_(records.Count()) {
    listener_ = records_.Subscribe([this](const store::RecordEvent& e) { OnRecordEvent(e); });
}

ProjectTableModel::~ProjectTableModel() { records_.Unsubscribe(listener_); }

int ProjectTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : row_count_;
}

int ProjectTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : store::kColumnCount;
}

const store::Record& ProjectTableModel::RowAt(int row) const {
    if (row != cached_row_) {
        cached_ = records_.ReadRow(row + 1);
        cached_row_ = row;
        ++rows_read_;
    }
    return cached_;
}

QVariant ProjectTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const std::string_view v = RowAt(index.row())[index.column()];
    QString text = QString::fromUtf8(v.data(), static_cast<int>(v.size()));
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

QVariant ProjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= store::kColumnCount) return {};
    return QString::fromStdString(store::Columns()[section].name);
}

void ProjectTableModel::OnRecordEvent(const store::RecordEvent& event) {
    switch (event.kind) {
        case RecordEventKind::Moved: return;
        case RecordEventKind::ValueChanged:
        case RecordEventKind::Written: {
            cached_row_ = -1;
            const int row = records_.Position() - 1;
            if (!reset_posted_ && row >= 0 && row < row_count_)
                emit dataChanged(index(row, 0), index(row, store::kColumnCount - 1));
            return;
        }
        default: cached_row_ = -1; ScheduleReset();
    }
}

void ProjectTableModel::ScheduleReset() {
    if (reset_posted_) return;
    reset_posted_ = true;
    QTimer::singleShot(0, this, [this] {
        reset_posted_ = false;
        beginResetModel();
        row_count_ = records_.Count();
        cached_row_ = -1;
        endResetModel();
    });
}

}  // namespace zorbix::screen
