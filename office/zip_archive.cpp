#include "office/zip_archive.h"

#include <zip.h>

#include <algorithm>
#include <utility>

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/protected_targets.h"

namespace zorbix::office {
namespace {

using base::Failure;

bool LeavesFolder(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return true;
    if (name.size() > 1 && name[1] == ':') return true;  // a drive letter
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = name.find_first_of("/\\", start);
        const std::string_view part =
            name.substr(start, end == std::string_view::npos ? end : end - start);
        if (part == "..") return true;
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return false;
}

// The deflate level of the parts a copy replaces when its caller names none
// (a report whose template cannot be cut, say), measured on the report
// template's main part (92 KB of XML): level 5 takes about two thirds of
// level 6's time for a package 4 % larger; level 4 and below grow it by more
// than 10 % (level 1: 21 %), which we do not accept.
constexpr zip_uint32_t kCopyLevel = 5;
// A new package is written once (a template, say): a middle level, as the
// strongest one doubles the time for a few bytes.
constexpr zip_uint32_t kNewPackageLevel = 6;

[[noreturn]] void FailWriting(const std::filesystem::path& target, const std::string& reason) {
    throw base::Failure(
        base::MessageText("无法写入{1}：{2}。", {base::QuotedFileName(target), reason}));
}

// Adds `source` (freed here when it cannot be added) as the entry `name`,
// deflated at `level`.
void AddEntry(::zip* zip, const std::string& name, zip_source_t* source, zip_uint32_t level,
              const std::filesystem::path& target) {
    const zip_int64_t index =
        source ? zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        if (source) zip_source_free(source);
        FailWriting(target, zip_strerror(zip));
    }
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, level);
}

// Closes a zip being written, or discards it when the write failed.
class WritingZip {
public:
    explicit WritingZip(const std::filesystem::path& temporary) : temporary_(temporary) {
        int error = 0;
        zip_ = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!zip_)
            throw base::Failure(base::MessageText("无法建立临时文件“{1}”。", {temporary.string()}));
    }
    ~WritingZip() {
        if (zip_) zip_discard(zip_);
        std::error_code ignored;
        if (!temporary_.empty()) std::filesystem::remove(temporary_, ignored);
    }
    ::zip* get() { return zip_; }

    void Add(const std::string& name, const std::string& bytes,
             const std::filesystem::path& target) {
        AddEntry(zip_, name, zip_source_buffer(zip_, bytes.data(), bytes.size(), 0),
                 kNewPackageLevel, target);
    }

    void AddFile(const ZipFilePart& part, const std::filesystem::path& target) {
        AddEntry(zip_, part.name, zip_source_file(zip_, part.file.c_str(), 0, -1),
                 static_cast<zip_uint32_t>(part.level), target);
    }

    void Close(const std::filesystem::path& target) {
        if (zip_close(zip_) != 0) FailWriting(target, zip_strerror(zip_));
        zip_ = nullptr;
        // Committed (or left to a batch that commits it at its end): the
        // temporary is no longer this writer's to remove.
        const auto temporary = std::exchange(temporary_, {});
        base::CommitTemporary(temporary, target);
    }

private:
    std::filesystem::path temporary_;
    ::zip* zip_ = nullptr;
};

// A zip built in memory and written to its file with one write (a report
// or a workbook is a few dozen KB), through the atomic writer so that it is
// complete or absent and joins the thread's durable batch.
class MemoryZip {
public:
    explicit MemoryZip(const std::filesystem::path& target) : target_(target) {
        zip_error_t error;
        zip_error_init(&error);
        buffer_ = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (buffer_) {
            zip_source_keep(buffer_);  // the bytes are read from it after closing
            zip_ = zip_open_from_source(buffer_, ZIP_TRUNCATE, &error);
        }
        const std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        if (!zip_) FailWriting(target, reason);
    }
    ~MemoryZip() {
        if (zip_) zip_discard(zip_);
        if (buffer_) zip_source_free(buffer_);
    }
    MemoryZip(const MemoryZip&) = delete;
    MemoryZip& operator=(const MemoryZip&) = delete;

    // An entry of another open archive copied as its compressed bytes: it is
    // neither inflated nor deflated again.
    void Copy(::zip* from, zip_uint64_t index, const std::string& name) {
        zip_source_t* raw = zip_source_zip(zip_, from, index, ZIP_FL_COMPRESSED, 0, -1);
        if (!raw || zip_file_add(zip_, name.c_str(), raw, ZIP_FL_ENC_UTF_8) < 0) {
            if (raw) zip_source_free(raw);
            FailWriting(target_, zip_strerror(zip_));
        }
    }

    void Add(const std::string& name, const std::string& bytes, zip_uint32_t level) {
        AddEntry(zip_, name, zip_source_buffer(zip_, bytes.data(), bytes.size(), 0), level,
                 target_);
    }

    // Closes the archive and writes its bytes to the target atomically.
    void Write() {
        if (zip_close(zip_) != 0) FailWriting(target_, zip_strerror(zip_));
        zip_ = nullptr;
        base::WriteFileAtomically(target_, Bytes());
    }

private:
    std::string Bytes() {
        zip_stat_t stat;
        if (zip_source_stat(buffer_, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
            zip_source_open(buffer_) != 0)
            FailWriting(target_, zip_error_strerror(zip_source_error(buffer_)));
        std::string bytes(static_cast<std::size_t>(stat.size), '\0');
        const zip_int64_t n = zip_source_read(buffer_, bytes.data(), stat.size);
        zip_source_close(buffer_);
        if (n < 0 || static_cast<zip_uint64_t>(n) != stat.size)
            FailWriting(target_, zip_error_strerror(zip_source_error(buffer_)));
        return bytes;
    }

    std::filesystem::path target_;
    zip_source_t* buffer_ = nullptr;
    ::zip* zip_ = nullptr;
};

}  // namespace

ZipArchive::ZipArchive(const std::filesystem::path& file) : file_(file) {
    if (!std::filesystem::exists(file))
        throw base::Failure(base::MessageText("找不到{1}。", {base::QuotedFileName(file)}));
    // libzip would only say "Operation not supported".
    if (std::filesystem::is_directory(file)) throw base::Failure(base::FolderInsteadOfFile(file));
    int error = 0;
    zip_ = zip_open(file.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!zip_) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        const std::string reason = zip_error_strerror(&ze);
        zip_error_fini(&ze);
        throw base::Failure(base::MessageText("{1}不是有效的Office文件（无法作为zip打开：{2}）。",
                                              {base::QuotedFileName(file), reason}));
    }
    for (const auto& name : Names()) {
        if (LeavesFolder(name)) {
            zip_discard(zip_);
            zip_ = nullptr;
            throw base::Failure(base::MessageText("{1}含有不安全的部件名“{2}”，已拒绝打开。",
                                                  {base::QuotedFileName(file), name}));
        }
    }
}

ZipArchive::~ZipArchive() {
    if (zip_) zip_discard(zip_);
}

bool ZipArchive::Has(std::string_view name) const {
    return zip_name_locate(zip_, std::string(name).c_str(), 0) >= 0;
}

std::vector<std::string> ZipArchive::Names() const {
    std::vector<std::string> names;
    const zip_int64_t n = zip_get_num_entries(zip_, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(zip_, static_cast<zip_uint64_t>(i), 0);
        names.emplace_back(name ? name : "");
    }
    return names;
}

std::string ZipArchive::Read(std::string_view name) const {
    const std::string part(name);
    const zip_int64_t index = zip_name_locate(zip_, part.c_str(), 0);
    if (index < 0)
        throw base::Failure(base::MessageText("{1}缺少部件“{2}”，文件已损坏或不是所需的文件。",
                                              {base::QuotedFileName(file_), part}));
    zip_stat_t stat;
    if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        throw base::Failure(
            base::MessageText("{1}的部件“{2}”无法读取。", {base::QuotedFileName(file_), part}));
    if (stat.size > kMaxPartBytes)
        throw base::Failure(base::MessageText(
            "{1}的部件“{2}”解压后过大（{3} MB），已拒绝读取。",
            {base::QuotedFileName(file_), part, std::to_string(stat.size >> 20)}));
    zip_file_t* f = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
    if (!f)
        throw base::Failure(
            base::MessageText("{1}的部件“{2}”无法打开：{3}。",
                              {base::QuotedFileName(file_), part, zip_strerror(zip_)}));
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    zip_uint64_t done = 0;
    while (done < stat.size) {
        const zip_int64_t n = zip_fread(f, bytes.data() + done, stat.size - done);
        if (n <= 0) break;
        done += static_cast<zip_uint64_t>(n);
    }
    const bool complete = done == stat.size;
    zip_fclose(f);
    if (!complete)
        throw base::Failure(base::MessageText("{1}的部件“{2}”已损坏，无法完整读取。",
                                              {base::QuotedFileName(file_), part}));
    return bytes;
}

void WriteZipCopy(const ZipArchive& source, const std::filesystem::path& target,
                  const std::map<std::string, std::string>& replaced) {
    WriteZipCopy(source, target, replaced, static_cast<int>(kCopyLevel));
}

void RefuseCopyTarget(const ZipArchive& source, const std::filesystem::path& target) {
    // The atomic writer refuses every other protected target itself; source's
    // own file, when protected (a template), is named as such first.
    std::error_code ec;
    if (!std::filesystem::equivalent(source.file(), target, ec)) return;
    base::RefuseProtectedTarget(target);
    throw base::Failure(base::MessageText("不能把{1}写回它自己。", {base::QuotedFileName(target)}));
}

void WriteZipCopy(const ZipArchive& source, const std::filesystem::path& target,
                  const std::map<std::string, std::string>& replaced, int level) {
    RefuseCopyTarget(source, target);
    MemoryZip out(target);
    const zip_int64_t n = zip_get_num_entries(source.handle(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* raw = zip_get_name(source.handle(), static_cast<zip_uint64_t>(i), 0);
        const std::string name = raw ? raw : "";
        if (!replaced.count(name)) out.Copy(source.handle(), static_cast<zip_uint64_t>(i), name);
    }
    for (const auto& [name, bytes] : replaced)
        out.Add(name, bytes, static_cast<zip_uint32_t>(std::clamp(level, 1, 9)));
    out.Write();
}

void WriteZip(const std::filesystem::path& target,
              const std::vector<std::pair<std::string, std::string>>& parts) {
    base::RefuseProtectedTarget(target);
    MemoryZip out(target);
    for (const auto& [name, bytes] : parts) out.Add(name, bytes, kNewPackageLevel);
    out.Write();
}

void WriteZip(const std::filesystem::path& target,
              const std::vector<std::pair<std::string, std::string>>& parts,
              const std::vector<ZipFilePart>& file_parts) {
    WritingZip out(base::TemporaryBeside(target));
    for (const auto& [name, bytes] : parts) out.Add(name, bytes, target);
    for (const ZipFilePart& part : file_parts) out.AddFile(part, target);
    out.Close(target);
}

}  // namespace zorbix::office
