#include "lists/csv_rows.h"

#include <fstream>
#include <vector>

#include "base/error.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/message_text.h"
#include "base/utf8.h"
#include "lists/csv_guard.h"
#include "office/csv_text.h"

namespace zorbix::lists {
namespace {

using base::Failure;
using base::IsUtf8;
using office::CsvReader;
using office::ListCell;

using base::MessageText;

std::string Named(const std::filesystem::path& file) { return base::QuotedFileName(file); }

constexpr std::string_view kTooLarge = "{1}大于1GB，不是项目表。";

// The file's bytes, block by block.
class Blocks {
public:
    Blocks(const std::filesystem::path& file, std::size_t block_bytes)
        : file_(file), block_bytes_(block_bytes) {
        std::error_code ec;
        size_ = std::filesystem::file_size(file, ec);
        if (ec) throw Failure(MessageText("无法读取{1}：{2}。", {Named(file), ec.message()}));
        if (size_ > kMaxCsvBytes) throw Failure(MessageText(kTooLarge, {Named(file)}));
        in_.open(file, std::ios::binary);
        if (!in_) throw Failure(MessageText("无法打开{1}，请检查是否有读取权限。", {Named(file)}));
    }

    // The next block; false at the end of the file.
    bool Read(std::string& block) {
        block.resize(block_bytes_);
        in_.read(block.data(), static_cast<std::streamsize>(block.size()));
        if (in_.bad()) throw Failure(MessageText("读取{1}时出错。", {Named(file_)}));
        block.resize(static_cast<std::size_t>(in_.gcount()));
        offset_ += block.size();
        // The file may have grown since its size was taken.
        if (offset_ > kMaxCsvBytes) throw Failure(MessageText(kTooLarge, {Named(file_)}));
        return !block.empty();
    }
    bool ended() const { return !in_; }
    std::uintmax_t size() const { return size_; }
    std::uintmax_t offset() const { return offset_; }

private:
    const std::filesystem::path& file_;
    std::size_t block_bytes_;
    std::uintmax_t size_ = 0;
    std::uintmax_t offset_ = 0;
    std::ifstream in_;
};

// Bytes at the end of `bytes` that begin a UTF-8 character the block cuts.
std::size_t CutUtf8Tail(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if (byte < 0x80) return 0;
        if (byte < 0xC0) continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        return length > back ? back : 0;
    }
    return 0;
}

// Tells UTF-8 across blocks: a character a block cuts is checked whole with
// the start of the next block.
class Utf8Check {
public:
    void Take(std::string_view block) {
        if (!valid_) return;
        pending_ += block;
        const std::size_t tail = CutUtf8Tail(pending_);
        valid_ = IsUtf8(std::string_view(pending_).substr(0, pending_.size() - tail));
        pending_.erase(0, pending_.size() - tail);
    }
    bool Valid() const { return valid_ && pending_.empty(); }

private:
    std::string pending_;
    bool valid_ = true;
};

// GBK across blocks: a lead byte at a block's end waits for its trail byte.
class GbkDecoder {
public:
    void Decode(std::string_view block, bool last, std::string& out) {
        if (!carried_.empty() && !block.empty()) {
            carried_ += block.front();
            block.remove_prefix(1);
            out += base::FromGbk(carried_);
            carried_.clear();
        }
        std::size_t whole = 0;
        while (whole < block.size()) {
            const auto byte = static_cast<unsigned char>(block[whole]);
            const std::size_t length = byte >= 0x81 && byte <= 0xFE ? 2 : 1;
            if (whole + length > block.size()) break;
            whole += length;
        }
        out += base::FromGbk(block.substr(0, whole));
        carried_.assign(block.substr(whole));
        if (last && !carried_.empty()) out += base::FromGbk(carried_);  // throws: cut off
    }

private:
    std::string carried_;
};

// Reads the file once: whether it is UTF-8; refuses text that is neither
// UTF-8 nor GBK, then text holding a NUL character.
bool IsUtf8File(const std::filesystem::path& file, std::size_t block_bytes) {
    std::string block;
    Utf8Check utf8;
    bool nul = false;
    for (Blocks blocks(file, block_bytes); blocks.Read(block);) {
        utf8.Take(block);
        nul = nul || block.find('\0') != std::string::npos;
    }
    if (!utf8.Valid()) {
        try {
            GbkDecoder gbk;
            std::string text;
            Blocks blocks(file, block_bytes);
            for (bool more = true; more;) {
                more = blocks.Read(block);
                text.clear();
                gbk.Decode(block, !more || blocks.ended(), text);
            }
        } catch (const base::GbkError&) {
            throw Failure(MessageText(
                "{1}既不是UTF-8编码也不是GBK编码的文本，不是CSV格式的项目表。", {Named(file)}));
        }
    }
    if (nul) throw Failure(MessageText("{1}含有空字符，不是CSV格式的项目表。", {Named(file)}));
    return utf8.Valid();
}

// Finds where the whole records of the decoded text end, following quotes
// as the CSV reader does, and counts lines as it counts them.
class RecordEnds {
public:
    explicit RecordEnds(const std::filesystem::path& file) : file_(file) {}

    // Scans what was added to `text`; `ended` when nothing more will come.
    void Scan(std::string_view text, bool ended) {
        for (; pos_ < text.size(); ++pos_) {
            const char c = text[pos_];
            if (c == '"') {
                quoted_ = !quoted_;
            } else if (quoted_) {
                if (c == '\n') ++line_;
            } else if (c == ',') {
                if (++fields_ > kMaxCsvFields)
                    Refuse(MessageText("有超过{1}个数据项", {std::to_string(kMaxCsvFields)}));
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && pos_ + 1 == text.size() && !ended) break;  // LF may follow
                if (c == '\r' && pos_ + 1 < text.size() && text[pos_ + 1] == '\n') ++pos_;
                if (pos_ + 1 - cut_ > kMaxCsvRecordBytes) RefuseLong();
                ++line_;
                cut_ = pos_ + 1;
                cut_line_ = line_;
                fields_ = 1;
            }
        }
        if (pos_ - cut_ > kMaxCsvRecordBytes) RefuseLong();
    }

    std::size_t cut() const { return cut_; }
    long cut_line() const { return cut_line_; }
    // The text before the cut has been handed on and dropped.
    void Dropped() {
        pos_ -= cut_;
        cut_ = 0;
    }

private:
    [[noreturn]] void RefuseLong() const {
        Refuse(MessageText("超过{1}MB", {std::to_string(kMaxCsvRecordBytes >> 20)}));
    }
    [[noreturn]] void Refuse(const std::string& what) const {
        throw Failure(MessageText("{1}第{2}行开始的一行数据{3}，不是项目表。",
                                  {Named(file_), std::to_string(cut_line_), what}));
    }

    const std::filesystem::path& file_;
    std::size_t pos_ = 0;
    std::size_t cut_ = 0;  // after the last whole record
    long line_ = 1;
    long cut_line_ = 1;  // the line the text after the cut begins on
    std::size_t fields_ = 1;
    bool quoted_ = false;
};

// Hands each record of whole-record stretches of text on as cells.
class RecordVisits {
public:
    RecordVisits(const std::filesystem::path& file, const RowVisitor& visit)
        : name_(Named(file)), visit_(visit) {}

    void Take(std::string_view records, long first_line) {
        CsvReader reader(records, name_, first_line);
        while (reader.Next(fields_)) {
            ++row_;
            cells_.clear();
            for (std::size_t i = 0; i < fields_.size(); ++i) {
                RemoveCsvGuard(fields_[i]);
                if (fields_[i].empty()) continue;
                cells_.push_back(
                    {static_cast<int>(i) + 1, ListCell::Kind::Text, std::move(fields_[i]), 0});
            }
            if (!cells_.empty()) visit_(row_, cells_);
        }
    }
    int row() const { return row_; }

private:
    std::string name_;
    const RowVisitor& visit_;
    std::vector<std::string> fields_;
    std::vector<ListCell> cells_;
    int row_ = 0;
};

}  // namespace

void ReadCsvFileRows(const std::filesystem::path& file, const RowVisitor& visit,
                     const ReadProgress& progress, std::size_t block_bytes) {
    const bool utf8 = IsUtf8File(file, block_bytes);
    Blocks blocks(file, block_bytes);
    GbkDecoder gbk;
    RecordEnds ends(file);
    RecordVisits records(file, visit);
    std::string block;
    std::string text;
    long first_line = 1;
    bool more = true;
    while (more) {
        more = blocks.Read(block);
        if (utf8)
            text += block;
        else
            gbk.Decode(block, !more || blocks.ended(), text);
        ends.Scan(text, !more);
        const std::size_t cut = more ? ends.cut() : text.size();
        if (cut == 0) continue;
        records.Take(std::string_view(text).substr(0, cut), first_line);
        first_line = ends.cut_line();
        text.erase(0, cut);
        ends.Dropped();
        if (progress)
            progress(static_cast<long>(blocks.offset() >> 10),
                     static_cast<long>(blocks.size() >> 10));
    }
}

}  // namespace zorbix::lists
