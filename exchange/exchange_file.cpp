#include "exchange/exchange_file.h"

#include <algorithm>

#include "base/file_names.h"
#include "base/gbk.h"
#include "base/message_text.h"
#include "exchange/byte_search.h"
#include "exchange/exchange_writer.h"
#include "exchange/field_reader.h"

namespace zorbix::exchange {
namespace {

// Refuses the file: in `text`, {1} stands for its quoted name, {2} and {3}
// for the details.
[[noreturn]] void Refuse(const std::filesystem::path& file, std::string_view text,
                         std::string_view detail = {}, std::string_view more = {}) {
    throw NotExchangeFile(base::MessageText(text, {base::QuotedFileName(file), detail, more}));
}

bool IsRefusedControl(unsigned char byte) {
    return (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7F;
}

// Bytes that form whole GBK characters from the start of `bytes`: a lead byte
// 0x81..0xFE takes the byte after it, every other byte stands alone. GBK
// trail bytes are never below 0x40, so control bytes are found here too.
std::size_t WholeCharacters(std::string_view bytes, std::uintmax_t base,
                            const std::filesystem::path& file) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (IsRefusedControl(byte))
            Refuse(file, "{1}的第{2}字节是控制字符，不是GBK编码的文本，不是交换数据文件。",
                   std::to_string(base + i + 1));
        if (byte >= 0x81 && byte <= 0xFE) {
            if (i + 1 == bytes.size()) return i;
            i += 2;
        } else {
            i += 1;
        }
    }
    return i;
}

// Follows the bytes since the last quote, comma or line end across chunks and
// refuses a field that runs past kMaxFieldBytes: without this a file of one
// endless field would be held whole before it could be refused. These bytes
// are below GBK's trail bytes, so the raw bytes can be searched.
void CheckFieldLengths(std::string_view bytes, std::uintmax_t base, std::size_t& run,
                       const std::filesystem::path& file) {
    std::size_t from = 0;
    while (from < bytes.size()) {
        static constexpr ByteSet kFieldEnds("\",\r\n");
        const std::size_t stop = kFieldEnds.Find(bytes, from);
        const std::size_t end = stop == std::string_view::npos ? bytes.size() : stop;
        run += end - from;
        if (run > kMaxFieldBytes)
            Refuse(file, "{1}的第{2}字节起的数据项超过1MB，不是交换数据文件。",
                   std::to_string(base + end - run + 1));
        if (stop == std::string_view::npos) break;
        run = 0;
        from = stop + 1;
    }
}

void Decode(std::string_view bytes, std::uintmax_t base, std::string& text,
            const std::filesystem::path& file) {
    try {
        text += base::FromGbk(bytes);
    } catch (const base::GbkError& e) {
        Refuse(file, "{1}不是GBK编码的文本（第{2}字节起不是有效的GBK字符），不是交换数据文件。",
               std::to_string(base + e.offset() + 1));
    }
}

std::uintmax_t CheckedSize(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        Refuse(file, "{1}不存在或不是普通文件，无法打开。");
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) Refuse(file, "{1}无法读取。");
    if (size > kMaxExchangeFileBytes) Refuse(file, "{1}大于1GB，不是交换数据文件。");
    if (size == 0) Refuse(file, "{1}是空文件，没有可追加的数据。");
    return size;
}

}  // namespace

ExchangeTextReader::ExchangeTextReader(const std::filesystem::path& file, std::size_t chunk_bytes)
    : file_(file), size_(CheckedSize(file)), in_(file, std::ios::binary) {
    if (!in_) Refuse(file, "{1}无法打开，请检查文件是否存在、是否有读取权限。");
    // A small file needs no chunk of the full size (nor its clearing).
    chunk_bytes_ = static_cast<std::size_t>(std::min<std::uintmax_t>(size_, chunk_bytes));
    chunk_.resize(chunk_bytes_ + 1);
}

bool ExchangeTextReader::ReadMore(std::string& text) {
    if (ended_) return false;
    in_.read(chunk_.data() + carried_, static_cast<std::streamsize>(chunk_bytes_));
    const std::size_t have = carried_ + static_cast<std::size_t>(in_.gcount());
    if (in_.bad()) Refuse(file_, "{1}读取时出错。");
    ended_ = !in_;
    const std::string_view bytes(chunk_.data(), have);
    const std::size_t whole = ended_ ? have : WholeCharacters(bytes, base_, file_);
    if (ended_) WholeCharacters(bytes, base_, file_);
    CheckFieldLengths(bytes.substr(0, whole), base_, field_run_, file_);
    const std::size_t before = text.size();
    Decode(bytes.substr(0, whole), base_, text, file_);
    carried_ = have - whole;
    if (carried_) chunk_[0] = chunk_[whole];
    base_ += whole;
    // The file may have grown since its size was taken.
    if (base_ > kMaxExchangeFileBytes) Refuse(file_, "{1}大于1GB，不是交换数据文件。");
    return !ended_ || text.size() > before;
}

std::string ReadExchangeText(const std::filesystem::path& file) {
    ExchangeTextReader reader(file);
    std::string text;
    text.reserve(static_cast<std::size_t>(reader.size() + reader.size() / 2));
    while (reader.ReadMore(text)) {
    }
    return text;
}

void RefuseBlankFile(const std::filesystem::path& file) {
    Refuse(file, "{1}中只有空白，没有可追加的数据。");
}

void RefuseUnquotedFirstRecord(const std::filesystem::path& file) {
    Refuse(file, "{1}的第一条记录中没有带引号的数据项，不是交换数据文件。");
}

void RefuseBrokenRecords(const std::filesystem::path& file, std::uintmax_t fields,
                         bool cut_in_a_field) {
    Refuse(file,
           cut_in_a_field
               ? "{1}有{2}个数据项，最后一个数据项的引号没有结束，不是完整的记录（每条记录{3}个"
                 "数据项）：文件不完整，或者某处缺少或多出了数据项，其后的记录都已错位。"
                 "没有追加任何项目。"
               : "{1}有{2}个数据项，不是完整的记录（每条记录{3}个数据项）：文件不完整，"
                 "或者某处缺少或多出了数据项，其后的记录都已错位。没有追加任何项目。",
           std::to_string(fields), std::to_string(kFieldsPerRecord));
}

void CheckLooksLikeRecords(std::string_view text, const std::filesystem::path& file) {
    FieldReader reader(text);
    if (reader.AtEnd()) RefuseBlankFile(file);
    for (int i = 0; i < kFieldsPerRecord; ++i) {
        const auto field = reader.Next();
        if (!field) break;
        if (field->quoted) return;
    }
    RefuseUnquotedFirstRecord(file);
}

void CheckWholeRecords(std::string_view text, const std::filesystem::path& file) {
    FieldReader reader(text);
    std::uintmax_t fields = 0;
    bool cut_in_a_field = false;
    while (const auto field = reader.Next()) {
        ++fields;
        if (!field->complete) cut_in_a_field = true;
    }
    if (!cut_in_a_field && fields % kFieldsPerRecord == 0) return;
    RefuseBrokenRecords(file, fields, cut_in_a_field);
}

}  // namespace zorbix::exchange
