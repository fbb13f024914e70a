#include "office/csv_text.h"

#include "base/error.h"
#include "base/message_text.h"

namespace zorbix::office {

void AppendCsvField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

CsvReader::CsvReader(std::string_view text, std::string file_name, long first_line)
    : text_(text), file_name_(std::move(file_name)), line_(first_line), record_line_(first_line) {
    if (first_line == 1 && text_.starts_with(kUtf8ByteOrderMark)) pos_ = kUtf8ByteOrderMark.size();
}

bool CsvReader::Next(std::vector<std::string>& fields) {
    fields.clear();
    if (AtEnd()) return false;
    record_line_ = line_;
    while (true) {
        std::string& field = fields.emplace_back();
        if (pos_ < text_.size() && text_[pos_] == '"')
            ReadQuoted(field);
        else
            ReadPlain(field);
        if (pos_ >= text_.size()) return true;
        const char c = text_[pos_++];
        if (c == ',') continue;
        // A record's end: CR LF, or a lone LF or CR.
        if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        ++line_;
        return true;
    }
}

void CsvReader::ReadPlain(std::string& field) {
    const std::size_t end = text_.find_first_of(",\r\n\"", pos_);
    const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
    field.assign(text_.substr(pos_, stop - pos_));
    pos_ = stop;
    if (pos_ < text_.size() && text_[pos_] == '"')
        Fail("的数据项中间出现了双引号（应整项用双引号括起，其中的双引号写两遍）");
}

void CsvReader::ReadQuoted(std::string& field) {
    const long opened_on = line_;
    ++pos_;
    while (true) {
        const std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos) {
            line_ = opened_on;
            Fail("开始的双引号没有结束，文件不完整或已损坏");
        }
        const auto part = text_.substr(pos_, quote - pos_);
        for (char c : part)
            if (c == '\n') ++line_;
        field += part;
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == '"') {
            field += '"';
            ++pos_;
            continue;
        }
        break;
    }
    if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n')
        Fail("的数据项在结束的双引号之后还有字符");
}

void CsvReader::Fail(const std::string& why) const {
    throw base::Failure(
        base::MessageText("{1}第{2}行{3}。", {file_name_, std::to_string(line_), why}));
}

}  // namespace zorbix::office
