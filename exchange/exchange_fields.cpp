#include "exchange/exchange_fields.h"

#include "base/file_names.h"

namespace zorbix::exchange {
namespace {

// Decoded bytes a field may take before it is refused: a field of 1 MB of
// GBK never decodes to more than 1.5 MB.
constexpr std::size_t kMaxOpenFieldBytes = 2 * kMaxFieldBytes;

// The field ends before the text does: the delimiter after it was read.
bool EndsWithin(std::string_view text, std::size_t used, const Field& field) {
    if (!field.complete || used == 0) return false;
    const char last = text[used - 1];
    return last == ',' || last == '\r' || last == '\n';
}

}  // namespace

ExchangeFields::ExchangeFields(const std::filesystem::path& file, std::size_t chunk_bytes)
    : reader_(file, chunk_bytes) {}

void ExchangeFields::RefuseLongField() const {
    throw NotExchangeFile(base::QuotedFileName(file()) +
                          "中有一个数据项超过1MB，不是交换数据文件。");
}

bool ExchangeFields::ReadMore() {
    if (ended_) return false;
    text_.erase(0, pos_);
    pos_ = 0;
    if (text_.size() > kMaxOpenFieldBytes) RefuseLongField();
    ended_ = !reader_.ReadMore(text_);
    return !ended_;
}

bool ExchangeFields::AtEnd() {
    while (true) {
        FieldReader rest(std::string_view(text_).substr(pos_));
        if (!rest.AtEnd()) return false;
        pos_ = text_.size();  // only blanks and line ends so far
        if (!ReadMore()) return true;
    }
}

std::optional<Field> ExchangeFields::Next() {
    while (true) {
        const std::string_view rest = std::string_view(text_).substr(pos_);
        FieldReader reader(rest);
        auto field = reader.Next();
        if (field && (ended_ || EndsWithin(rest, reader.offset(), *field))) {
            // Refused alike however the file was cut into chunks.
            if (reader.offset() > kMaxOpenFieldBytes) RefuseLongField();
            pos_ += reader.offset();
            return field;
        }
        if (!field) pos_ = text_.size();  // only blanks and line ends so far
        if (!ReadMore()) {
            if (!field) return std::nullopt;
        }
    }
}

}  // namespace zorbix::exchange
