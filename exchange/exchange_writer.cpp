#include "exchange/exchange_writer.h"

#include <algorithm>

#include "base/gbk.h"
#include "base/message_text.h"
#include "store/catalogue.h"
#include "store/value_rules.h"

namespace zorbix::exchange {
namespace {

// A double quote would end the field early on the reading side.
void AppendQuoteSafe(std::string& out, std::string_view value) {
    for (std::size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
        out.append(value.substr(0, quote));
        out += '\'';
        value.remove_prefix(quote + 1);
    }
    out.append(value);
}

constexpr std::size_t kConvertBytes = std::size_t{1} << 20;

// A stored value append would refuse (a store of an older version may hold
// one) is never written: the file would be refused where it is sent.
void RefuseFaulty(const store::Record& record, int column, std::string_view value) {
    const store::Column& c = store::Columns()[column];
    if (const auto fault = store::GbkTextFault(c, value))
        throw FaultyValue(store::ValuePlace(record[store::kNumberColumn], c) + *fault +
                          "，追加数据时会被拒绝，没有写出交换数据文件。请先改正该项。");
}

}  // namespace

void AppendRecordText(std::string& out, const store::Record& record, std::string_view placeholder) {
    for (int c = 0; c < kFieldsPerRecord; ++c) {
        const std::string_view value = record[c];
        RefuseFaulty(record, c, value);
        out += '"';
        if (value.empty())
            out.append(placeholder);
        else
            AppendQuoteSafe(out, value);
        out.append("\",");
    }
}

void RecordsWriter::Add(const store::Record& record) {
    AppendRecordText(text_, record, placeholder_);
    ends_.push_back(text_.size());
    numbers_.emplace_back(record[store::kNumberColumn]);
    if (text_.size() >= kConvertBytes) Convert();
}

std::string RecordsWriter::Finish() {
    Convert();
    return std::move(bytes_);
}

void RecordsWriter::Convert() {
    try {
        bytes_ += base::ToGbk(text_);
    } catch (const base::GbkError& e) {
        const auto at = std::upper_bound(ends_.begin(), ends_.end(), e.offset()) - ends_.begin();
        throw base::Failure(
            base::MessageText("项目{1}的数据无法写入交换文件：{2}", {numbers_[at], e.what()}));
    }
    text_.clear();
    ends_.clear();
    numbers_.clear();
}

std::string RecordBytes(const store::Record& record, std::string_view placeholder) {
    RecordsWriter writer(placeholder);
    writer.Add(record);
    return writer.Finish();
}

}  // namespace zorbix::exchange
