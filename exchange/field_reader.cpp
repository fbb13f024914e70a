#include "exchange/field_reader.h"

#include <algorithm>

#include "exchange/byte_search.h"

namespace zorbix::exchange {
namespace {

constexpr ByteSet kLeading(" \r\n");
constexpr ByteSet kDelimiters(",\r\n");

}  // namespace

void FieldReader::SkipLeading() {
    const std::size_t next = kLeading.Find(text_, pos_, false);
    pos_ = next == std::string_view::npos ? text_.size() : next;
}

void FieldReader::MovePastDelimiter(std::size_t from) {
    const std::size_t delimiter = kDelimiters.Find(text_, from);
    pos_ = delimiter == std::string_view::npos ? text_.size() : delimiter + 1;
}

bool FieldReader::AtEnd() {
    SkipLeading();
    return pos_ >= text_.size();
}

std::optional<Field> FieldReader::Next() {
    if (AtEnd()) return std::nullopt;
    Field field;
    if (text_[pos_] == '"') {
        field.quoted = true;
        const std::size_t open = pos_ + 1;
        const std::size_t close = text_.find('"', open);
        if (close == std::string_view::npos) {
            field.text = text_.substr(open);
            field.complete = false;
            pos_ = text_.size();
            return field;
        }
        field.text = text_.substr(open, close - open);
        MovePastDelimiter(close + 1);
        return field;
    }
    const std::size_t end = std::min(kDelimiters.Find(text_, pos_), text_.size());
    field.text = text_.substr(pos_, end - pos_);
    pos_ = end < text_.size() ? end + 1 : end;
    return field;
}

}  // namespace zorbix::exchange
