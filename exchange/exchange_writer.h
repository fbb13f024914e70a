// The written form of exchange records: every one of the 137 values in table
// order as a double quote, the text, a double quote and a comma, with no line
// end anywhere, in GBK. Other copies of the survey program read these files,
// so the bytes must be exactly these.
//
// An empty value is never written empty: a placeholder takes its place (" "
// when submitting, "." when distributing); the reading side keeps the
// placeholder as the value. The layout has no escape, so a double quote inside
// a value is written as a single quote (the substitution the results field
// already makes when typed): every file reads back with the same field count.
// Line breaks (CR LF in the results text) are written as they are.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "store/record.h"

namespace zorbix::exchange {

inline constexpr int kFieldsPerRecord = store::kRecordColumns;

// What stands for an empty value.
inline constexpr std::string_view kSubmitPlaceholder = " ";
inline constexpr std::string_view kDistributePlaceholder = ".";

// A stored value that append would refuse (store/value_rules.h: a control
// character, a lone line end, more characters than a cell holds), which a
// store of an older version may hold: what() names the project and column.
class FaultyValue : public base::Failure {
public:
    using base::Failure::Failure;
};

// Appends the UTF-8 text of one record's 137 quoted fields to `out`. Throws
// FaultyValue for a value append would refuse.
void AppendRecordText(std::string& out, const store::Record& record, std::string_view placeholder);

// Collects records as exchange text and converts them to GBK in large
// pieces (one conversion per record would cost a third more). Add and Finish
// throw base::Failure naming the project and the character when a value
// holds a character GBK cannot hold.
class RecordsWriter {
public:
    explicit RecordsWriter(std::string_view placeholder) : placeholder_(placeholder) {}
    void Add(const store::Record& record);
    // The GBK bytes of every record added, in order.
    std::string Finish();

private:
    void Convert();

    std::string_view placeholder_;
    std::string text_;                  // UTF-8 of the records not yet converted
    std::vector<std::size_t> ends_;     // where each of them ends in text_
    std::vector<std::string> numbers_;  // and its project number, for messages
    std::string bytes_;
};

// The GBK bytes of one record. Throws base::Failure naming the project and
// the character when a value holds a character GBK cannot hold.
std::string RecordBytes(const store::Record& record, std::string_view placeholder);

}  // namespace zorbix::exchange
