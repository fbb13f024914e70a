// Splits the decoded text of an exchange file into fields, tolerant of the
// layouts other programs write:
//   - blanks, carriage returns and line feeds before a field are skipped;
//   - a field that begins with a double quote runs to the next double quote;
//     the quotes are removed and everything between them, blanks and line
//     breaks included, is the value; reading then moves past the next comma
//     or line end (anything before it is dropped);
//   - any other field runs to the next comma, carriage return or line feed.
// Placeholders are not translated back: " " reads as one blank, "." as a full
// stop. Fields are views into the text, so a file costs no more memory than
// its text, however long one field is.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zorbix::exchange {

struct Field {
    std::string_view text;
    bool quoted = false;
    // False for a quoted field whose closing quote the file never reached.
    bool complete = true;
};

class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    // True when only blanks and line ends are left.
    bool AtEnd();

    // The next field, or nullopt at the end of the text.
    std::optional<Field> Next();

    // How far reading has come, in bytes of the text.
    std::size_t offset() const { return pos_; }

private:
    void SkipLeading();
    // Moves past the next comma or line end at or after `from`.
    void MovePastDelimiter(std::size_t from);

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace zorbix::exchange
