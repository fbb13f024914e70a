// The guard that keeps a spreadsheet program from running a text of an
// exported CSV file as a formula. LibreOffice and Excel take a field that
// begins with "=", "+", "-" or "@" as a formula (and a tab or a CR at the
// start can hide one); a field that begins with an apostrophe they show as
// the text it is. The rule, for every field of the file:
//   - export: a value that begins with =, +, -, @, a tab, a CR or an
//     apostrophe is written with one apostrophe in front, except a value of
//     a number column that is exactly a number ("-5", "-1.5"), which a
//     spreadsheet shows as that number anyway;
//   - import: one apostrophe at the start of a field is removed.
// A value that begins with an apostrophe is guarded too, so every stored
// text comes back exactly: the import removes only the apostrophe the
// export added. (A field of another program's CSV that begins with an
// apostrophe loses that one apostrophe.)
#pragma once

#include <string>
#include <string_view>

#include "store/catalogue.h"

namespace zorbix::lists {

inline constexpr char kCsvGuard = '\'';

// True when the export writes `value` of `column` with the guard.
bool NeedsCsvGuard(const store::Column& column, std::string_view value);

// Appends the CSV field of `value`, guarded where the rule says.
void AppendGuardedCsvField(std::string& out, const store::Column& column, std::string_view value);

// The field as imported: without the guard's apostrophe.
void RemoveCsvGuard(std::string& field);

}  // namespace zorbix::lists
