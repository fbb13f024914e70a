#include "store/record_set.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "store/catalogue.h"
#include "store/changed_meanwhile.h"
#include "store/project_table.h"

namespace zorbix::store {
namespace {

constexpr int kBlockRows = 128;
// From this size on, a whole read splits the table over two connections.
constexpr int kParallelRows = 4096;

// A change and its history lines commit together: inside the transaction
// of a larger operation, or in one of their own.
class WriteUnit {
public:
    explicit WriteUnit(Database& db) : db_(db), own_(db.IsAutocommit()) {
        if (own_) db_.Begin();
    }
    ~WriteUnit() {
        if (!own_ || committed_) return;
        db_.Rollback();
    }
    WriteUnit(const WriteUnit&) = delete;
    WriteUnit& operator=(const WriteUnit&) = delete;
    void Commit() {
        if (own_) db_.Commit();
        committed_ = true;
    }

private:
    Database& db_;
    bool own_;
    bool committed_ = false;
};

// The position of each rowid of the set: by a table over the rowids' range
// when they lie close together (as a table's rowids do), else by a hash.
class RowidPositions {
public:
    explicit RowidPositions(const std::vector<std::int64_t>& rowids) {
        if (rowids.empty()) return;
        const auto [low, high] = std::minmax_element(rowids.begin(), rowids.end());
        const std::uint64_t span =
            static_cast<std::uint64_t>(*high) - static_cast<std::uint64_t>(*low);
        const bool close = span < 4 * rowids.size() + 64;
        first_ = *low;
        if (close)
            table_.assign(static_cast<std::size_t>(span) + 1, -1);
        else
            hashed_.reserve(rowids.size());
        for (std::size_t i = 0; i < rowids.size(); ++i) {
            if (close)
                table_[Offset(rowids[i])] = static_cast<int>(i);
            else
                hashed_.emplace(rowids[i], static_cast<int>(i));
        }
    }
    // -1 for a rowid not in the set.
    int Of(std::int64_t rowid) const {
        if (table_.empty()) {
            const auto it = hashed_.find(rowid);
            return it == hashed_.end() ? -1 : it->second;
        }
        if (rowid < first_ || Offset(rowid) >= table_.size()) return -1;
        return table_[Offset(rowid)];
    }

private:
    // Unsigned: no overflow however far apart the two lie.
    std::uint64_t Offset(std::int64_t rowid) const {
        return static_cast<std::uint64_t>(rowid) - static_cast<std::uint64_t>(first_);
    }

    std::int64_t first_ = 0;
    std::vector<int> table_;
    std::unordered_map<std::int64_t, int> hashed_;
};

}  // namespace

RecordSet::RecordSet(Database& db)
    : db_(db),
      rows_(std::make_unique<ProjectRows>(db)),
      history_(std::make_unique<ChangeHistory>(db)) {
    Reopen();
}

RecordSet::~RecordSet() = default;

void RecordSet::Reopen() {
    std::vector<std::int64_t> order;
    Statement q(db_, StoreOrderSql(db_));
    while (q.Step()) order.push_back(q.Int(0));
    rowids_ = std::move(order);
    ForgetCache();
    position_ = 0;
    Unload(false);
    Notify(RecordEventKind::Reopened);
}

void RecordSet::Unload(bool deleted_here) {
    loaded_ = false;
    pending_ = false;
    deleted_here_ = deleted_here;
    current_.Clear();
    refused_.reset();
}

void RecordSet::ForgetCache() const {
    cache_.clear();
    cache_.resize(rowids_.size());
    last_miss_end_ = 0;
}

void RecordSet::FillBlock(int first, int count) const {
    first = std::clamp(first, 1, std::max(Count(), 1));
    count = std::min(count, Count() - first + 1);
    const std::span<const std::int64_t> ids(rowids_.data() + first - 1,
                                            static_cast<std::size_t>(count));
    std::vector<Record> rows;
    rows_->Read(ids, rows);
    for (int i = 0; i < count; ++i)
        cache_[first - 1 + i] = std::make_unique<Record>(std::move(rows[i]));
    last_miss_end_ = first + count;
}

void RecordSet::FillAll() const {
    std::unordered_map<std::int64_t, int> position_of;
    position_of.reserve(rowids_.size());
    for (std::size_t i = 0; i < rowids_.size(); ++i)
        position_of.emplace(rowids_[i], static_cast<int>(i));
    // Each row lands in its own slot, so the two halves never meet.
    rows_->ReadAll(
        [&](int, std::int64_t rowid, Record& row) {
            const auto it = position_of.find(rowid);
            if (it == position_of.end() || cache_[it->second]) return;
            cache_[it->second] = std::make_unique<Record>(std::move(row));
        },
        Count() > kParallelRows);
}

void RecordSet::VisitColumns(std::span<const int> columns,
                             const std::function<bool(const Record&)>& visit) {
    // Gathered by position, then visited in set order.
    std::vector<Record> rows(rowids_.size());
    ScanColumns(columns, [&](int, int position, const Record& row) { rows[position - 1] = row; });
    for (const Record& row : rows)
        if (!visit(row)) return;
}

void RecordSet::ScanColumns(std::span<const int> columns, const LaneTaker& take) {
    if (pending_) WriteBack();
    const RowidPositions positions(rowids_);
    // One flag per position, each written by the lane that meets it.
    std::vector<char> met(rowids_.size(), 0);
    rows_->ReadColumns(
        columns,
        [&](int lane, std::int64_t rowid, Record& row) {
            const int position = positions.Of(rowid);
            if (position < 0) return;
            met[position] = 1;
            take(lane, position + 1, row);
        },
        Count() > kParallelRows);
    const Record empty;
    for (std::size_t i = 0; i < met.size(); ++i)
        if (!met[i]) take(0, static_cast<int>(i) + 1, empty);
}

const Record& RecordSet::Stored(int position) const {
    EnsureCached(position);
    return *cache_[position - 1];
}

void RecordSet::EnsureCached(int position) const {
    if (IsCached(position)) return;
    // A miss right where the last block ended is a walk: from the start it
    // reads everything at once; resumed further on (a long run releases
    // the cache as it goes) it reads the next stretch, or each release
    // would cost a read of the whole table.
    if (position == last_miss_end_ && Count() > kBlockRows) {
        if (position <= kBlockRows + 1)
            FillAll();
        else
            FillBlock(position, kParallelRows);
    }
    // A row the scan did not meet (gone from the table) reads as empty.
    if (!IsCached(position)) FillBlock(position - kBlockRows / 4, kBlockRows);
}

void RecordSet::Load(int position) {
    if (pending_) WriteBack();
    refused_.reset();
    FollowChanges();
    if (position < 1 || position > Count()) {
        position_ = Count() + 1;
        Unload(false);
        Notify(RecordEventKind::Moved);
        return;
    }
    EnsureCached(position);
    current_ = *cache_[position - 1];
    position_ = position;
    loaded_ = true;
    deleted_here_ = false;
    Notify(RecordEventKind::Moved);
}

void RecordSet::MoveFirst() {
    if (Count() == 0) throw base::Failure("没有记录可以移动到。");
    Load(1);
}

void RecordSet::MoveLast() {
    if (Count() == 0) throw base::Failure("没有记录可以移动到。");
    Load(Count());
}

void RecordSet::MoveNext() {
    if (position_ > Count()) {
        if (pending_) WriteBack();
        return;
    }
    Load(deleted_here_ ? position_ : position_ + 1);
}

void RecordSet::MovePrevious() {
    if (Count() == 0) throw base::Failure("没有记录可以移动到。");
    Load(std::clamp(position_ - 1, 1, Count()));
}

void RecordSet::MoveTo(int position) {
    if (position < 1 || position > Count()) throw base::Failure("记录位置超出范围。");
    Load(position);
}

std::string_view RecordSet::Value(std::string_view name) const { return Value(ColumnIndex(name)); }

void RecordSet::FailWithoutCurrent() const {
    if (!loaded_) throw base::Failure("当前没有记录。");
}

void RecordSet::SetValue(int column, std::string_view value) {
    FailWithoutCurrent();
    if (column < 0 || column >= kColumnCount) throw base::Failure("没有这一列。");
    if (current_[column] == value) return;
    current_.Set(column, value);
    pending_ = true;
    Notify(RecordEventKind::ValueChanged, column);
}

void RecordSet::SetValue(std::string_view name, std::string_view value) {
    SetValue(ColumnIndex(name), value);
}

void RecordSet::WriteBack() {
    FailWithoutCurrent();
    const Record& stored = Stored(position_);
    std::optional<std::int64_t> version;
    {
        WriteUnit unit(db_);
        version = rows_->Write(rowids_[position_ - 1], current_);
        if (!version) RefuseChangedMeanwhile();
        history_->LogEdit(operation_, stored, current_);
        unit.Commit();
    }
    current_.set_version(*version);
    cache_[position_ - 1] = std::make_unique<Record>(current_);
    pending_ = false;
    Notify(RecordEventKind::Written);
}

void RecordSet::AddNew() { AddNew(Row(kColumnCount)); }

void RecordSet::AddNew(const Row& values) { AddNew(Record(values)); }

void RecordSet::AddNew(Record values) {
    if (pending_) WriteBack();
    auto added = std::make_unique<Record>(std::move(values));
    {
        WriteUnit unit(db_);
        const std::int64_t rowid = rows_->Insert(*added);
        added->set_version(rows_->FirstVersion());
        history_->LogAdded(operation_, *added);
        unit.Commit();
        rowids_.push_back(rowid);
    }
    cache_.push_back(std::move(added));
    current_ = *cache_.back();
    position_ = Count();
    loaded_ = true;
    deleted_here_ = false;
    refused_.reset();
    pending_ = false;
    Notify(RecordEventKind::Added);
}

void RecordSet::Delete() {
    FailWithoutCurrent();
    {
        WriteUnit unit(db_);
        history_->LogRemoved(operation_, Stored(position_));
        rows_->Delete(rowids_[position_ - 1]);
        unit.Commit();
    }
    rowids_.erase(rowids_.begin() + (position_ - 1));
    cache_.erase(cache_.begin() + (position_ - 1));
    last_miss_end_ = 0;
    Unload(true);
    Notify(RecordEventKind::Deleted);
}

void RecordSet::DeleteAll() {
    {
        WriteUnit unit(db_);
        history_->LogAllRemoved(operation_);
        rows_->DeleteAll();
        unit.Commit();
    }
    rowids_.clear();
    ForgetCache();
    position_ = 1;
    Unload(true);
    Notify(RecordEventKind::Deleted);
}

Record RecordSet::ReadRow(int position) const {
    if (position == position_ && loaded_) return current_;
    if (position < 1 || position > Count()) return Record();
    EnsureCached(position);
    return *cache_[position - 1];
}

std::vector<std::string> RecordSet::ColumnValues(int column) const {
    const std::string sql = "SELECT rowid, \"" + Columns()[column].name + "\" FROM kjxmzxqk";
    std::unordered_map<std::int64_t, std::string> by_rowid;
    by_rowid.reserve(rowids_.size());
    Statement q(db_, sql);
    while (q.Step()) by_rowid.emplace(q.Int(0), std::string(q.Text(1)));
    std::vector<std::string> values;
    values.reserve(rowids_.size());
    for (std::int64_t id : rowids_) values.push_back(std::move(by_rowid[id]));
    if (loaded_) values[position_ - 1] = std::string(current_[column]);
    return values;
}

void RecordSet::RefuseChangedMeanwhile() {
    const std::int64_t rowid = rowids_[position_ - 1];
    const Record typed = current_;
    const auto change = rows_->LastChange(rowid);
    pending_ = false;
    if (!change) {
        ReadOrder();
        Notify(RecordEventKind::Refreshed);
        throw ChangedMeanwhile(RemovedMeanwhileMessage(typed), typed);
    }
    cache_[position_ - 1].reset();
    current_ = Stored(position_);
    refused_ = typed;
    Notify(RecordEventKind::Refreshed);
    throw ChangedMeanwhile(ChangedMeanwhileMessage(change->who, change->time, typed, current_),
                           typed);
}

bool RecordSet::FollowChanges() {
    const auto notices = db_.TakeChangeNotices();
    if (notices.empty()) return false;
    bool order_changed = false;
    // Another clerk's bulk change brings thousands of notices at once.
    const RowidPositions positions(rowids_);
    for (const ChangeNotice& notice : notices) {
        if (notice.kind == ChangeNotice::Lost) {
            // Changes may have gone unheard: nothing read before is kept.
            ForgetCache();
            order_changed = true;
            break;
        }
        if (notice.kind != ChangeNotice::Changed) {
            order_changed = true;
            continue;
        }
        const int position = positions.Of(notice.rowid);
        if (position >= 0) cache_[position].reset();
    }
    // A changed number moves its record in store order, as a reopening
    // would place it; the set keeps its order until reopened, as for its
    // own changes.
    if (order_changed) ReadOrder();
    if (loaded_ && !pending_ && position_ >= 1 && position_ <= Count())
        current_ = Stored(position_);
    Notify(RecordEventKind::Refreshed);
    return true;
}

// The order read again, the current record and every row read ahead kept
// where they still are; a current record that is gone leaves none current.
void RecordSet::ReadOrder() {
    std::unordered_map<std::int64_t, std::unique_ptr<Record>> kept;
    for (std::size_t i = 0; i < rowids_.size(); ++i)
        if (cache_[i]) kept.emplace(rowids_[i], std::move(cache_[i]));
    const std::int64_t current = loaded_ ? rowids_[position_ - 1] : 0;
    std::vector<std::int64_t> order;
    Statement q(db_, StoreOrderSql(db_));
    while (q.Step()) order.push_back(q.Int(0));
    rowids_ = std::move(order);
    ForgetCache();
    for (std::size_t i = 0; i < rowids_.size(); ++i) {
        const auto it = kept.find(rowids_[i]);
        if (it != kept.end()) cache_[i] = std::move(it->second);
    }
    if (!loaded_) {
        position_ = std::min(position_, Count() + 1);
        return;
    }
    const auto at = std::find(rowids_.begin(), rowids_.end(), current);
    if (at != rowids_.end()) {
        position_ = static_cast<int>(at - rowids_.begin()) + 1;
        return;
    }
    position_ = std::clamp(position_, 1, Count() + 1);
    Unload(true);
}

int RecordSet::Subscribe(Listener listener) {
    listeners_.emplace_back(next_listener_, std::move(listener));
    return next_listener_++;
}

void RecordSet::Unsubscribe(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void RecordSet::Notify(RecordEventKind kind, int column) {
    const RecordEvent event{kind, column};
    for (const auto& [id, listener] : listeners_) listener(event);
}

}  // namespace zorbix::store
