#include "exchange/incoming_records.h"

#include <optional>

#include "base/file_names.h"
#include "base/message_text.h"
#include "exchange/exchange_writer.h"
#include "store/catalogue.h"
#include "store/value_rules.h"

namespace zorbix::exchange {
namespace {

// The first value of the file the store may not hold, with its project
// number once the record's number field has been read.
struct FirstFault {
    int column = -1;
    std::string fault;
    std::string number;
    bool numbered = false;
};

std::string FaultMessage(const std::filesystem::path& file, const FirstFault& first) {
    return base::MessageText(
        "{1}中{2}{3}，本程序的输出文件无法保存它。没有追加任何项目。",
        {base::QuotedFileName(file),
         store::ValuePlace(first.number, store::Columns()[first.column]), first.fault});
}

// Follows the fields of a file record by record: the first record must
// hold a quoted field, the first faulty value is kept.
class FieldCount {
public:
    explicit FieldCount(const std::filesystem::path& file) : file_(file) {}

    void Take(const Field& field) {
        const int column = static_cast<int>(fields_ % kFieldsPerRecord);
        if (fields_ < kFieldsPerRecord && field.quoted) quoted_ = true;
        ++fields_;
        if (!field.complete) cut_ = true;
        if (column == store::kNumberColumn) number_.assign(field.text);
        if (fault_ && !fault_->numbered && column == store::kNumberColumn) Number();
        if (fault_ || !field.complete) return;
        if (auto fault = store::GbkTextFault(store::Columns()[column], field.text)) {
            fault_ = FirstFault{column, std::move(*fault), {}, false};
            if (column >= store::kNumberColumn) Number();
        }
    }

    // The refusals in the order the whole-text checks gave them.
    std::uintmax_t Finish() {
        if (!quoted_) RefuseUnquotedFirstRecord(file_);
        if (cut_ || fields_ % kFieldsPerRecord != 0) RefuseBrokenRecords(file_, fields_, cut_);
        if (fault_) throw NotExchangeFile(FaultMessage(file_, *fault_));
        return fields_ / kFieldsPerRecord;
    }

private:
    void Number() {
        fault_->number = number_;
        fault_->numbered = true;
    }

    const std::filesystem::path& file_;
    std::uintmax_t fields_ = 0;
    bool cut_ = false;
    bool quoted_ = false;
    std::string number_;  // of the record being read
    std::optional<FirstFault> fault_;
};

}  // namespace

std::uintmax_t CheckIncomingFile(const std::filesystem::path& file,
                                 const IncomingProgress& progress, std::size_t chunk_bytes) {
    ExchangeFields fields(file, chunk_bytes);
    if (fields.AtEnd()) RefuseBlankFile(file);
    FieldCount count(file);
    std::uintmax_t taken = 0;
    while (const auto field = fields.Next()) {
        count.Take(*field);
        if (progress && ++taken % 65536 == 0) progress(fields.offset(), fields.size());
    }
    return count.Finish();
}

void IncomingRecords::Changed() const {
    throw base::Failure(base::QuotedFileName(fields_.file()) +
                        "在读取时被改动了，与追加前检查的内容不同。");
}

bool IncomingRecords::Next(store::Row& row) {
    row.resize(kFieldsPerRecord);
    if (fields_.AtEnd()) {
        if (read_ != expected_) Changed();
        return false;
    }
    if (++read_ > expected_) Changed();
    for (int c = 0; c < kFieldsPerRecord; ++c) {
        const auto field = fields_.Next();
        if (!field || !field->complete ||
            store::GbkTextFault(store::Columns()[c], field->text).has_value())
            Changed();
        row[c].assign(field->text);
    }
    return true;
}

}  // namespace zorbix::exchange
