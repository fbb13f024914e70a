// The records of an exchange file for append, read as the file goes so that
// a file of any size costs about one chunk of memory.
//
// Append reads the file twice: CheckIncomingFile reads it whole and refuses
// it before anything is written (no backup is made, nothing is added), then
// IncomingRecords reads it again inside the append's one transaction. Two
// reads rather than one were chosen because the backup of the store must be
// made before the first record goes in, and only for a file that will be
// appended: a single pass would have to back up before it knew. Reading is
// fast beside inserting, so the second read costs little.
//
// The check refuses, each as NotExchangeFile with the whole message after
// "追加数据失败：": a file that is no exchange file (exchange_file.h), a first
// record without a quoted field, fields that are not whole records (named
// with their count), and a record holding a value the store may not hold
// (store/value_rules.h: a tab, a lone CR or LF, a line break outside the
// results text, more than 32767 characters), named with its project and
// column. A value longer than its column's own limit is taken whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "exchange/exchange_fields.h"
#include "store/record.h"

namespace zorbix::exchange {

// Told how far a read has come, in bytes of the file.
using IncomingProgress = std::function<void(std::uintmax_t done, std::uintmax_t total)>;

// Reads the whole file and throws NotExchangeFile for what append refuses;
// returns the number of records.
std::uintmax_t CheckIncomingFile(const std::filesystem::path& file,
                                 const IncomingProgress& progress = {},
                                 std::size_t chunk_bytes = kExchangeChunkBytes);

// The records of a checked file, one at a time.
class IncomingRecords {
public:
    // `records` as CheckIncomingFile counted them.
    IncomingRecords(const std::filesystem::path& file, std::uintmax_t records,
                    std::size_t chunk_bytes = kExchangeChunkBytes)
        : fields_(file, chunk_bytes), expected_(records) {}

    // The next record's 137 values; false at the end. Throws base::Failure
    // when the file is no longer what was checked (changed in between: a
    // record cut, a value refused, more or fewer records).
    bool Next(store::Row& row);

    std::uintmax_t offset() const { return fields_.offset(); }
    std::uintmax_t size() const { return fields_.size(); }

private:
    [[noreturn]] void Changed() const;

    ExchangeFields fields_;
    std::uintmax_t expected_;
    std::uintmax_t read_ = 0;
};

}  // namespace zorbix::exchange
