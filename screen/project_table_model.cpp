#include "screen/project_table_model.h"

#include <QCollator>
#include <QDateTime>
#include <QTimer>
#include <algorithm>
#include <numeric>

#include "base/error.h"
#include "base/numeric_value.h"
#include "base/search_text.h"
#include "store/catalogue.h"

namespace zorbix::screen {
namespace {

using store::RecordEventKind;

constexpr int kAddedColumns = 3;
constexpr int kFirstAdded = ProjectTableModel::kUnitColumn;
constexpr char kKeySeparator = '\x1f';  // never typed, so no match spans two keys

QString Q(std::string_view v) { return QString::fromUtf8(v.data(), static_cast<int>(v.size())); }

bool SortsAsNumber(int table_column) {
    const store::Kind kind = store::Columns()[table_column].kind;
    return kind == store::Kind::Number || kind == store::Kind::Year;
}

// Sorts positions by one value per position, keeping store order among
// equal values; `less` compares the values of two positions.
template <typename Less>
void SortPositions(std::vector<int>& positions, Qt::SortOrder order, Less less) {
    if (order == Qt::AscendingOrder)
        std::stable_sort(positions.begin(), positions.end(), less);
    else
        std::stable_sort(positions.begin(), positions.end(),
                         [&less](int a, int b) { return less(b, a); });
}

bool IsKeyColumn(int column) {
    return column == store::kNumberColumn || column == store::ColumnIndex("JB01") ||
           column == store::ColumnIndex("XMCDDW");
}

}  // namespace

ProjectTableModel::ProjectTableModel(store::RecordSet& records, QObject* parent)
    : QAbstractTableModel(parent), records_(records), row_count_(records.Count()) {
    listener_ = records_.Subscribe([this](const store::RecordEvent& e) { OnRecordEvent(e); });
    ReadChangeTimes();
}

void ProjectTableModel::ReadChangeTimes() {
    try {
        change_times_ = records_.history().LastChangeTimes();
    } catch (const base::Failure&) {
        change_times_.clear();  // the column stays empty; the store says why elsewhere
    }
}

ProjectTableModel::~ProjectTableModel() { records_.Unsubscribe(listener_); }

int ProjectTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : row_count_;
}

int ProjectTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : store::kColumnCount + kAddedColumns;
}

int ProjectTableModel::TableColumn(int view_column) {
    if (view_column < kFirstAdded) return view_column;
    if (view_column < kFirstAdded + kAddedColumns) return -1;
    return view_column - kAddedColumns;
}

int ProjectTableModel::PositionOfRow(int row) const { return arranged_ ? rows_[row] : row + 1; }

int ProjectTableModel::RowOfPosition(int position) const {
    if (!arranged_) return position >= 1 && position <= row_count_ ? position - 1 : -1;
    if (position < 1 || position > static_cast<int>(row_of_position_.size())) return -1;
    return row_of_position_[position - 1];
}

const store::Record& ProjectTableModel::RowAt(int row) const {
    if (row != cached_row_) {
        cached_ = records_.ReadRow(PositionOfRow(row));
        cached_row_ = row;
        ++rows_read_;
    }
    return cached_;
}

int ProjectTableModel::FindingCount(const std::string& number) const {
    const auto it = finding_counts_.find(number);
    if (it != finding_counts_.end()) return it->second;
    return counts_cover_store_ ? 0 : -1;
}

std::string ProjectTableModel::FindingsText(const std::string& number) const {
    const int count = FindingCount(number);
    if (count < 0) return {};
    return count == 0 ? "✓" : std::to_string(count);
}

QVariant ProjectTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole && index.column() == kFindingsColumn)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    const store::Record& row = RowAt(index.row());
    const std::string number(row[store::kNumberColumn]);
    switch (index.column()) {
        case kUnitColumn: return Q(row[store::ColumnIndex("XMCDDW")]).replace("\r\n", " ");
        case kFindingsColumn: return Q(FindingsText(number));
        case kChangedColumn: {
            const auto it = change_times_.find(number);
            return it == change_times_.end() ? QString() : Q(it->second);
        }
        default: break;
    }
    QString text = Q(row[TableColumn(index.column())]);
    return text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

QVariant ProjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    switch (section) {
        case kUnitColumn: return QStringLiteral("承担单位");
        case kFindingsColumn: return QStringLiteral("审核问题");
        case kChangedColumn: return QStringLiteral("最后修改");
        default: break;
    }
    const int column = TableColumn(section);
    if (column < 0 || column >= store::kColumnCount) return {};
    return QString::fromStdString(store::Columns()[column].name);
}

void ProjectTableModel::SetFilter(const QString& text) {
    std::string folded = base::SearchFolded(text.trimmed().toStdString());
    if (folded == filter_) return;
    filter_ = std::move(folded);
    Arrange();
}

void ProjectTableModel::SetOnlyWithFindings(bool on) {
    if (on == only_with_findings_) return;
    only_with_findings_ = on;
    Arrange();
}

void ProjectTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    // The view asks twice for one heading click; the rows are in order.
    if (column == sort_column_ && order == sort_order_ && !reset_posted_) return;
    sort_column_ = column;
    sort_order_ = order;
    Arrange();
}

void ProjectTableModel::RestoreStoreOrder() {
    if (sort_column_ < 0) return;
    sort_column_ = -1;
    Arrange();
}

void ProjectTableModel::SetFindingCounts(std::unordered_map<std::string, int> counts,
                                         bool whole_store) {
    if (whole_store) {
        finding_counts_ = std::move(counts);
    } else {
        for (auto& [number, count] : counts) finding_counts_[number] = count;
    }
    counts_cover_store_ = counts_cover_store_ || whole_store;
    if (only_with_findings_ || sort_column_ == kFindingsColumn)
        Arrange();
    else if (row_count_ > 0)
        emit dataChanged(index(0, kFindingsColumn), index(row_count_ - 1, kFindingsColumn));
}

void ProjectTableModel::SetChangeTimes(std::unordered_map<std::string, std::string> times) {
    change_times_ = std::move(times);
    if (row_count_ > 0)
        emit dataChanged(index(0, kChangedColumn), index(row_count_ - 1, kChangedColumn));
}

void ProjectTableModel::PrepareFilter() const { Keys(); }

const std::vector<std::string>& ProjectTableModel::Keys() const {
    if (static_cast<int>(keys_.size()) == records_.Count()) return keys_;
    numbers_ = records_.ColumnValues(store::kNumberColumn);
    const auto names = records_.ColumnValues(store::ColumnIndex("JB01"));
    const auto units = records_.ColumnValues(store::ColumnIndex("XMCDDW"));
    keys_.clear();
    keys_.reserve(numbers_.size());
    for (std::size_t i = 0; i < numbers_.size(); ++i)
        keys_.push_back(
            base::SearchFolded(numbers_[i] + kKeySeparator + names[i] + kKeySeparator + units[i]));
    return keys_;
}

void ProjectTableModel::Filter(std::vector<int>& positions) const {
    // The numbers come with the keys, read once, not per keystroke.
    const std::vector<std::string>& keys = Keys();
    std::erase_if(positions, [&](int p) {
        if (!filter_.empty() && !base::ContainsFolded(keys[p - 1], filter_)) return true;
        return only_with_findings_ && FindingCount(numbers_[p - 1]) <= 0;
    });
}

void ProjectTableModel::Sort(std::vector<int>& positions) const {
    if (sort_column_ == kFindingsColumn) {
        Keys();  // reads numbers_
        std::vector<int> counts(numbers_.size());
        for (std::size_t i = 0; i < numbers_.size(); ++i) counts[i] = FindingCount(numbers_[i]);
        SortPositions(positions, sort_order_,
                      [&](int a, int b) { return counts[a - 1] < counts[b - 1]; });
        return;
    }
    const int table_column = sort_column_ == kUnitColumn      ? store::ColumnIndex("XMCDDW")
                             : sort_column_ == kChangedColumn ? store::kNumberColumn
                                                              : TableColumn(sort_column_);
    std::vector<std::string> values = records_.ColumnValues(table_column);
    if (sort_column_ == kChangedColumn) {
        for (std::string& v : values) {
            const auto it = change_times_.find(v);
            v = it == change_times_.end() ? std::string() : it->second;
        }
    } else if (SortsAsNumber(table_column)) {
        std::vector<double> numbers(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) numbers[i] = base::NumericValue(values[i]);
        SortPositions(positions, sort_order_,
                      [&](int a, int b) { return numbers[a - 1] < numbers[b - 1]; });
        return;
    }
    // Chinese texts in the order a Chinese reader expects (by pinyin), keys
    // made once per value so the sort itself compares bytes.
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(values.size());
    for (const std::string& v : values) keys.push_back(collator.sortKey(Q(v)));
    SortPositions(positions, sort_order_,
                  [&](int a, int b) { return keys[a - 1].compare(keys[b - 1]) < 0; });
}

void ProjectTableModel::Arrange() {
    beginResetModel();
    cached_row_ = -1;
    const int count = records_.Count();
    arranged_ = !filter_.empty() || only_with_findings_ || sort_column_ >= 0;
    rows_.clear();
    row_of_position_.clear();
    if (arranged_) {
        rows_.resize(count);
        std::iota(rows_.begin(), rows_.end(), 1);
        Filter(rows_);
        if (sort_column_ >= 0) Sort(rows_);
        row_of_position_.assign(count, -1);
        for (std::size_t r = 0; r < rows_.size(); ++r) row_of_position_[rows_[r] - 1] = int(r);
    }
    row_count_ = arranged_ ? static_cast<int>(rows_.size()) : count;
    endResetModel();
}

void ProjectTableModel::OnRecordEvent(const store::RecordEvent& event) {
    switch (event.kind) {
        case RecordEventKind::Moved: value_changed_ = false; return;
        case RecordEventKind::ValueChanged:
        case RecordEventKind::Written: {
            cached_row_ = -1;
            if (event.kind == RecordEventKind::ValueChanged) value_changed_ = true;
            // The history has the line now; its time is this moment.
            if (event.kind == RecordEventKind::Written && value_changed_ && records_.HasCurrent())
                change_times_[std::string(records_.Value(store::kNumberColumn))] =
                    QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss").toStdString();
            if (event.kind == RecordEventKind::Written) value_changed_ = false;
            if (event.kind == RecordEventKind::ValueChanged && IsKeyColumn(event.column))
                keys_.clear();
            const int row = RowOfPosition(records_.Position());
            if (!reset_posted_ && row >= 0 && row < row_count_)
                emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            return;
        }
        default:
            cached_row_ = -1;
            keys_.clear();
            ScheduleReset();
    }
}

void ProjectTableModel::ScheduleReset() {
    if (reset_posted_) return;
    reset_posted_ = true;
    QTimer::singleShot(0, this, [this] {
        reset_posted_ = false;
        ReadChangeTimes();
        Arrange();
    });
}

}  // namespace zorbix::screen
