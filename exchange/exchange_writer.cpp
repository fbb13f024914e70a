#include "exchange/exchange_writer.h"

#include "store/catalogue.h"
#include "store/gbk.h"

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

}  // namespace

void AppendRecordText(std::string& out, const store::Record& record, std::string_view placeholder) {
    for (int c = 0; c < kFieldsPerRecord; ++c) {
        const std::string_view value = record[c];
        out += '"';
        if (value.empty())
            out.append(placeholder);
        else
            AppendQuoteSafe(out, value);
        out.append("\",");
    }
}

std::string RecordBytes(const store::Record& record, std::string_view placeholder) {
    std::string text;
    text.reserve(2048);
    AppendRecordText(text, record, placeholder);
    try {
        return store::ToGbk(text);
    } catch (const store::GbkError& e) {
        const std::string number(record[store::ColumnIndex("JB02")]);
        throw store::Failure("项目" + number + "的数据无法写入交换文件：" + e.what());
    }
}

}  // namespace zorbix::exchange
