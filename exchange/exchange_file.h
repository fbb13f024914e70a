// Reading an exchange file from disk into its UTF-8 text, refusing what is
// not an exchange file before anything reaches the store.
//
// What counts as "not an exchange file" (each refused with its own message,
// naming the file):
//   - a path that cannot be opened or read, or is not a regular file;
//   - a file larger than kMaxExchangeFileBytes (32767 projects fill a few
//     tens of megabytes; anything near a gigabyte is something else);
//   - a field longer than kMaxFieldBytes (no survey value comes near it), found
//     while reading, so such a file is refused before much of it is held;
//   - an empty file, or one holding only blanks and line ends;
//   - bytes that are not GBK text: an invalid or cut-off double-byte
//     sequence, or a control character other than tab, CR and LF (binary
//     data, NUL bytes, UTF-16);
//   - a file whose first record (its first 137 fields, or all of them when
//     fewer) holds no quoted field: every writer of the survey quotes its
//     fields, so such a file is some other text;
//   - a file whose fields are not a whole number of records. Records are
//     told apart only by counting fields, so one missing or extra field
//     shifts every record after it, and a cut file looks the same: such a
//     file is refused whole, never appended in part.
// The file is read in bounded chunks and each chunk decoded from GBK as it
// comes (ExchangeTextReader): a reader that takes the text as it goes
// (exchange_fields.h) holds about one chunk, whatever the file's size.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/error.h"

namespace zorbix::exchange {

inline constexpr std::uintmax_t kMaxExchangeFileBytes = std::uintmax_t{1} << 30;
// Bytes between two field delimiters (quote, comma, line end) at most.
inline constexpr std::size_t kMaxFieldBytes = std::size_t{1} << 20;
// Bytes read at a time.
inline constexpr std::size_t kExchangeChunkBytes = std::size_t{4} << 20;

// A file refused as an exchange file; what() is the user's message.
class NotExchangeFile : public base::Failure {
public:
    using base::Failure::Failure;
};

// The decoded text of a file, chunk by chunk. The size is checked when it
// is opened, every chunk's bytes as they come. Throws NotExchangeFile.
class ExchangeTextReader {
public:
    explicit ExchangeTextReader(const std::filesystem::path& file,
                                std::size_t chunk_bytes = kExchangeChunkBytes);

    // Appends the UTF-8 text of the next chunk's whole characters to `text`;
    // false (nothing appended) once the file has been read to its end.
    bool ReadMore(std::string& text);

    const std::filesystem::path& file() const { return file_; }
    std::uintmax_t size() const { return size_; }
    std::uintmax_t offset() const { return base_; }  // bytes decoded so far

private:
    std::filesystem::path file_;
    std::uintmax_t size_ = 0;
    std::ifstream in_;
    std::size_t chunk_bytes_ = 0;
    std::vector<char> chunk_;
    std::size_t carried_ = 0;    // a lead byte left from the chunk before
    std::uintmax_t base_ = 0;    // file offset of chunk_[0]
    std::size_t field_run_ = 0;  // bytes since the last delimiter
    bool ended_ = false;
};

// The whole file decoded to UTF-8. Throws NotExchangeFile.
std::string ReadExchangeText(const std::filesystem::path& file);

// Throws NotExchangeFile when the text is empty or its first record holds no
// quoted field.
void CheckLooksLikeRecords(std::string_view text, const std::filesystem::path& file);

// Throws NotExchangeFile, naming the field count, when the fields are not a
// whole number of records or the last quoted field never ends.
void CheckWholeRecords(std::string_view text, const std::filesystem::path& file);

// The refusals of the two checks above, for readers that count as they go.
[[noreturn]] void RefuseBlankFile(const std::filesystem::path& file);
[[noreturn]] void RefuseUnquotedFirstRecord(const std::filesystem::path& file);
[[noreturn]] void RefuseBrokenRecords(const std::filesystem::path& file, std::uintmax_t fields,
                                      bool cut_in_a_field);

}  // namespace zorbix::exchange
