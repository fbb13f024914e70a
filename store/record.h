// One project record: its 137 values in table order, packed into a single
// buffer. Walks over tens of thousands of records read and hand on whole
// records; one buffer per record keeps that to one copy and no allocation
// per value.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorbix::store {

inline constexpr int kRecordColumns = 137;

// The values of one record as separate strings, for code that builds or
// edits whole records (exchange files, the batch tool, demo data).
using Row = std::vector<std::string>;

class Record {
public:
    Record() { ends_.fill(0); }
    explicit Record(const Row& values);

    // The value of a column (0..136); an index outside gives "".
    std::string_view operator[](int column) const;

    void Set(int column, std::string_view value);
    void Clear();

    // Room for this many bytes of values, so building the record does not
    // grow its buffer.
    void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }

    // Builds the record anew from value_of(column) for each column 0..136,
    // in column order, keeping the buffer's room: scans build one record
    // per row this way, tens of thousands of times.
    template <typename ValueOf>
    void Assign(ValueOf&& value_of) {
        bytes_.clear();
        for (int c = 0; c < kRecordColumns; ++c) {
            const std::string_view value = value_of(c);
            if (!value.empty()) bytes_.append(value);
            ends_[c] = static_cast<std::uint32_t>(bytes_.size());
        }
    }

    Row ToRow() const;

    // The version of the stored row this record was read from (0 where the
    // store keeps no versions): a write names it, and is refused when the
    // row has moved on meanwhile. Not part of the record's values.
    std::int64_t version() const { return version_; }
    void set_version(std::int64_t version) { version_ = version; }

    bool operator==(const Record& other) const {
        return bytes_ == other.bytes_ && ends_ == other.ends_;
    }

private:
    std::uint32_t Start(int column) const { return column == 0 ? 0 : ends_[column - 1]; }

    std::string bytes_;
    std::array<std::uint32_t, kRecordColumns> ends_;
    std::int64_t version_ = 0;
};

}  // namespace zorbix::store
