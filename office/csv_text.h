// Comma-separated values exactly as RFC 4180 has them: fields separated by
// commas, records ended by CR LF, a field holding a comma, a double quote, a
// CR or an LF enclosed in double quotes with its quotes doubled. Nothing
// else is special (blanks belong to the field).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zorbix::office {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Appends one field, quoted where it must be.
void AppendCsvField(std::string& out, std::string_view field);

// Reads the records of a CSV text one by one. A record may end with CR LF,
// a lone LF or the end of the text (what spreadsheet programs write); line
// breaks inside a quoted field are kept as they are. Throws base::Failure
// naming `file_name` and the line for a quote that is never closed or a
// character after a closing quote.
class CsvReader {
public:
    // A text that continues a file from `first_line` on (a stretch of whole
    // records) has no byte-order mark.
    CsvReader(std::string_view text, std::string file_name, long first_line = 1);

    bool AtEnd() const { return pos_ >= text_.size(); }
    // The next record's fields; false at the end of the text.
    bool Next(std::vector<std::string>& fields);
    // The line (1-based) the last record read began on.
    long line() const { return record_line_; }
    std::size_t offset() const { return pos_; }

private:
    void ReadQuoted(std::string& field);
    void ReadPlain(std::string& field);
    [[noreturn]] void Fail(const std::string& why) const;

    std::string_view text_;
    std::string file_name_;
    std::size_t pos_ = 0;
    long line_ = 1;
    long record_line_ = 1;
};

}  // namespace zorbix::office
