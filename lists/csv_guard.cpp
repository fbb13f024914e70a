#include "lists/csv_guard.h"

#include "lists/list_columns.h"
#include "office/csv_text.h"

namespace zorbix::lists {

using office::AppendCsvField;

bool NeedsCsvGuard(const store::Column& column, std::string_view value) {
    if (value.empty()) return false;
    switch (value.front()) {
        case '=':
        case '@':
        case '\t':
        case '\r':
        case kCsvGuard: return true;
        case '+':
        case '-': return !(IsNumberColumn(column) && ExactNumber(value));
        default: return false;
    }
}

void AppendGuardedCsvField(std::string& out, const store::Column& column, std::string_view value) {
    if (!NeedsCsvGuard(column, value)) return AppendCsvField(out, value);
    std::string guarded;
    guarded.reserve(value.size() + 1);
    guarded += kCsvGuard;
    guarded += value;
    AppendCsvField(out, guarded);
}

void RemoveCsvGuard(std::string& field) {
    if (!field.empty() && field.front() == kCsvGuard) field.erase(0, 1);
}

}  // namespace zorbix::lists
