#include "server/project_positions.h"

#include "store/catalogue.h"

namespace zorbix::server {
namespace {

bool MovesPositions(const store::RecordEvent& event) {
    switch (event.kind) {
        case store::RecordEventKind::Added:
        case store::RecordEventKind::Deleted:
        case store::RecordEventKind::Reopened:
        case store::RecordEventKind::Refreshed: return true;
        case store::RecordEventKind::ValueChanged: return event.column == store::kNumberColumn;
        default: return false;
    }
}

}  // namespace

ProjectPositions::ProjectPositions(store::RecordSet& records) : records_(records) {
    subscription_ = records_.Subscribe([this](const store::RecordEvent& event) {
        if (MovesPositions(event)) stale_ = true;
    });
}

ProjectPositions::~ProjectPositions() { records_.Unsubscribe(subscription_); }

int ProjectPositions::Of(std::string_view number) {
    const std::string key(number);
    if (stale_) Rebuild();
    if (const int position = Lookup(key)) return position;
    // Rows added or changed in ways the events do not tell (a bulk run on
    // the same connection) come to light here: read the numbers again once.
    Rebuild();
    return Lookup(key);
}

int ProjectPositions::Lookup(const std::string& number) const {
    const auto it = positions_.find(number);
    if (it == positions_.end()) return 0;
    const int position = it->second;
    if (position > records_.Count()) return 0;
    return records_.ReadRow(position)[store::kNumberColumn] == number ? position : 0;
}

void ProjectPositions::Rebuild() {
    const auto numbers = records_.ColumnValues(store::kNumberColumn);
    positions_.clear();
    positions_.reserve(numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i)
        positions_.emplace(numbers[i], static_cast<int>(i) + 1);  // the first one stays
    stale_ = false;
}

}  // namespace zorbix::server
