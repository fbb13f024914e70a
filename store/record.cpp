#include "store/record.h"

namespace zorbix::store {

Record::Record(const Row& values) {
    Assign([&](int c) {
        return c < static_cast<int>(values.size()) ? std::string_view(values[c])
                                                   : std::string_view();
    });
}

std::string_view Record::operator[](int column) const {
    if (column < 0 || column >= kRecordColumns) return {};
    return std::string_view(bytes_).substr(Start(column), ends_[column] - Start(column));
}

void Record::Set(int column, std::string_view value) {
    if (column < 0 || column >= kRecordColumns) return;
    const std::uint32_t start = Start(column);
    const std::uint32_t old_size = ends_[column] - start;
    bytes_.replace(start, old_size, value);
    const auto delta = static_cast<std::int64_t>(value.size()) - old_size;
    for (int c = column; c < kRecordColumns; ++c)
        ends_[c] = static_cast<std::uint32_t>(ends_[c] + delta);
}

void Record::Clear() {
    bytes_.clear();
    ends_.fill(0);
    version_ = 0;
}

Row Record::ToRow() const {
    Row row;
    row.reserve(kRecordColumns);
    for (int c = 0; c < kRecordColumns; ++c) row.emplace_back((*this)[c]);
    return row;
}

}  // namespace zorbix::store
