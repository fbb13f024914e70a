#include "exchange/exchange_file.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "base/file_names.h"
#include "base/gbk.h"
#include "exchange/byte_search.h"
#include "exchange/exchange_writer.h"
#include "exchange/field_reader.h"

namespace zorbix::exchange {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{4} << 20;

[[noreturn]] void Refuse(const std::filesystem::path& file, const std::string& why) {
    throw NotExchangeFile(base::QuotedFileName(file) + why);
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
            Refuse(file, "的第" + std::to_string(base + i + 1) +
                             "字节是控制字符，不是GBK编码的文本，不是交换数据文件。");
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
            Refuse(file, "的第" + std::to_string(base + end - run + 1) +
                             "字节起的数据项超过1MB，不是交换数据文件。");
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
        Refuse(file, "不是GBK编码的文本（第" + std::to_string(base + e.offset() + 1) +
                         "字节起不是有效的GBK字符），不是交换数据文件。");
    }
}

std::uintmax_t CheckedSize(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        Refuse(file, "不存在或不是普通文件，无法打开。");
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) Refuse(file, "无法读取。");
    if (size > kMaxExchangeFileBytes) Refuse(file, "大于1GB，不是交换数据文件。");
    if (size == 0) Refuse(file, "是空文件，没有可追加的数据。");
    return size;
}

}  // namespace

std::string ReadExchangeText(const std::filesystem::path& file) {
    const std::uintmax_t size = CheckedSize(file);
    std::ifstream in(file, std::ios::binary);
    if (!in) Refuse(file, "无法打开，请检查文件是否存在、是否有读取权限。");
    std::string text;
    text.reserve(static_cast<std::size_t>(size + size / 2));
    // A small file needs no chunk of the full size (nor its clearing).
    const auto chunk_bytes = static_cast<std::size_t>(std::min<std::uintmax_t>(size, kChunkBytes));
    std::vector<char> chunk(chunk_bytes + 1);
    std::size_t carried = 0;    // a lead byte left from the chunk before
    std::uintmax_t base = 0;    // file offset of chunk[0]
    std::size_t field_run = 0;  // bytes since the last delimiter
    while (in) {
        in.read(chunk.data() + carried, static_cast<std::streamsize>(chunk_bytes));
        const std::size_t have = carried + static_cast<std::size_t>(in.gcount());
        if (in.bad()) Refuse(file, "读取时出错。");
        const std::string_view bytes(chunk.data(), have);
        const std::size_t whole = in.eof() ? have : WholeCharacters(bytes, base, file);
        if (in.eof()) WholeCharacters(bytes, base, file);
        CheckFieldLengths(bytes.substr(0, whole), base, field_run, file);
        Decode(bytes.substr(0, whole), base, text, file);
        carried = have - whole;
        if (carried) chunk[0] = chunk[whole];
        base += whole;
        // The file may have grown since its size was taken.
        if (base > kMaxExchangeFileBytes) Refuse(file, "大于1GB，不是交换数据文件。");
    }
    return text;
}

void CheckLooksLikeRecords(std::string_view text, const std::filesystem::path& file) {
    FieldReader reader(text);
    if (reader.AtEnd()) Refuse(file, "中只有空白，没有可追加的数据。");
    for (int i = 0; i < kFieldsPerRecord; ++i) {
        const auto field = reader.Next();
        if (!field) break;
        if (field->quoted) return;
    }
    Refuse(file, "的第一条记录中没有带引号的数据项，不是交换数据文件。");
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
    Refuse(file, "有" + std::to_string(fields) + "个数据项" +
                     (cut_in_a_field ? "，最后一个数据项的引号没有结束" : "") +
                     "，不是完整的记录（每条记录" + std::to_string(kFieldsPerRecord) +
                     "个数据项）：文件不完整，或者某处缺少或多出了数据项，其后的记录都已错位。"
                     "没有追加任何项目。");
}

}  // namespace zorbix::exchange
