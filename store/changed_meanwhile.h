// A write refused because someone else changed or removed the record since
// it was read (a PostgreSQL store that several people work on). Nothing is
// overwritten: the record set shows the record as it now is, and the
// message tells who changed it, when, and what the refused write held, so
// the clerk can enter it again.
#pragma once

#include <string>
#include <string_view>

#include "base/error.h"
#include "store/record.h"

namespace zorbix::store {

class ChangedMeanwhile : public base::Failure {
public:
    ChangedMeanwhile(const std::string& message, Record typed)
        : base::Failure(message), typed_(std::move(typed)) {}
    // The values the refused write held.
    const Record& typed() const { return typed_; }

private:
    Record typed_;
};

// "项目“N”在您读取之后已被WHO于TIME修改，您的修改没有保存。…" with one line
// per column where the refused write differs from the current record.
std::string ChangedMeanwhileMessage(std::string_view who, std::string_view time,
                                    const Record& typed, const Record& current);

// The record was removed by someone else before the write reached it.
std::string RemovedMeanwhileMessage(const Record& typed);

}  // namespace zorbix::store
