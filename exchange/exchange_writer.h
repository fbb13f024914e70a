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

#include "store/record.h"

namespace zorbix::exchange {

inline constexpr int kFieldsPerRecord = store::kRecordColumns;

// What stands for an empty value.
inline constexpr std::string_view kSubmitPlaceholder = " ";
inline constexpr std::string_view kDistributePlaceholder = ".";

// Appends the UTF-8 text of one record's 137 quoted fields to `out`.
void AppendRecordText(std::string& out, const store::Record& record, std::string_view placeholder);

// The GBK bytes of one record. Throws store::Failure naming the project and
// the character when a value holds a character GBK cannot hold.
std::string RecordBytes(const store::Record& record, std::string_view placeholder);

}  // namespace zorbix::exchange
