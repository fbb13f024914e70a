#include "lists/spreadsheet_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "lists/list_columns.h"

namespace zorbix::lists {
namespace {

struct DateTime {
    int year = 0, month = 0, day = 0, minutes = 0;
    bool has_date = false;
    bool valid = true;  // false for a serial number no date system reaches
};

// 9999-12-31, the last day spreadsheets show.
constexpr double kLastSerial = 2958465;

// The civil date of a day count since 1970-01-01 (H. Hinnant's algorithm).
void CivilFromDays(long days, int& year, int& month, int& day) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int Digits(const std::string& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count && i < text.size(); ++i)
        value = value * 10 + (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : 0);
    return value;
}

DateTime Parts(const ListCell& cell) {
    DateTime t;
    if (cell.text.size() >= 10 && cell.text[4] == '-' && cell.text[7] == '-') {
        // An ISO date cell (t="d"): "2013-12-23T08:30:00".
        t.has_date = true;
        t.year = Digits(cell.text, 0, 4), t.month = Digits(cell.text, 5, 2);
        t.day = Digits(cell.text, 8, 2);
        if (cell.text.size() >= 16 && cell.text[10] == 'T')
            t.minutes = Digits(cell.text, 11, 2) * 60 + Digits(cell.text, 14, 2);
        return t;
    }
    // A serial number of the 1900 date system: day 1 is 1900-01-01, and the
    // system counts a 29 February 1900 that never was (day 60).
    const double serial = cell.number;
    if (!(serial >= 0 && serial < kLastSerial + 1)) {
        t.valid = false;
        return t;
    }
    const double whole = std::floor(serial);
    t.minutes = static_cast<int>(std::lround((serial - whole) * 24 * 60)) % (24 * 60);
    if (whole >= 1) {
        t.has_date = true;
        const long days = static_cast<long>(whole) - (whole >= 61 ? 25569 : 25568);
        CivilFromDays(days, t.year, t.month, t.day);
    }
    return t;
}

std::string Format(const char* form, int a, int b = 0, int c = 0) {
    char text[32];
    std::snprintf(text, sizeof text, form, a, b, c);
    return text;
}

}  // namespace

std::string SpreadsheetNumberText(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) return StoredNumberText(value);
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    double rounded = 0;
    const std::string_view shown(text);
    const auto r = std::from_chars(shown.data(), shown.data() + shown.size(), rounded);
    if (r.ec != std::errc()) return StoredNumberText(value);
    return StoredNumberText(rounded);
}

std::string DateCellDisplay(const ListCell& cell) {
    const DateTime t = Parts(cell);
    if (!t.valid) return cell.text;
    const std::string time = Format("%02d:%02d", t.minutes / 60, t.minutes % 60);
    if (!t.has_date) return time;
    const std::string date = Format("%04d-%02d-%02d", t.year, t.month, t.day);
    return t.minutes == 0 ? date : date + " " + time;
}

std::optional<std::string> DateCellValue(const ListCell& cell, store::Kind kind) {
    const DateTime t = Parts(cell);
    if (!t.valid || !t.has_date) return std::nullopt;
    switch (kind) {
        case store::Kind::Date:
        case store::Kind::Text:
        case store::Kind::MultiLineText: return Format("%04d-%02d-%02d", t.year, t.month, t.day);
        case store::Kind::YearMonth: return Format("%04d-%02d", t.year, t.month);
        case store::Kind::Year: return Format("%04d", t.year);
        default: return std::nullopt;
    }
}

}  // namespace zorbix::lists
