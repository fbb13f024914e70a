// The fields of an exchange file as the file is read, for files of any
// size: the text is held from the field being read to the end of the last
// chunk decoded, about one chunk (4 MB) however long the file is. The fields
// are exactly those FieldReader finds in the whole text: a field is handed
// on only once the delimiter after it has been read (or the file has
// ended), so no chunk boundary changes a field.
//
// A field that spans more than 2 MB of text (a quoted field that runs on over
// commas and line ends, which the byte check of the reader does not see) is
// refused as NotExchangeFile, so that no file makes the text grow unbounded;
// the refusal is the same however the file is cut into chunks.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "exchange/exchange_file.h"
#include "exchange/field_reader.h"

namespace zorbix::exchange {

class ExchangeFields {
public:
    explicit ExchangeFields(const std::filesystem::path& file,
                            std::size_t chunk_bytes = kExchangeChunkBytes);

    // True when only blanks and line ends are left.
    bool AtEnd();

    // The next field, or nullopt at the end of the file. Its text is valid
    // until the next call.
    std::optional<Field> Next();

    const std::filesystem::path& file() const { return reader_.file(); }
    std::uintmax_t size() const { return reader_.size(); }
    std::uintmax_t offset() const { return reader_.offset(); }  // bytes read so far

private:
    // Drops what has been handed on and decodes the next chunk; false at the
    // end of the file.
    bool ReadMore();
    [[noreturn]] void RefuseLongField() const;

    ExchangeTextReader reader_;
    std::string text_;
    std::size_t pos_ = 0;
    bool ended_ = false;
};

}  // namespace zorbix::exchange
