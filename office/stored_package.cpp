#include "office/stored_package.h"

#include <zip.h>

#include <ctime>
#include <limits>
#include <optional>
#include <utility>

#include "base/calendar_time.h"
#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/deflate_part.h"

namespace zorbix::office {
namespace {

constexpr std::uint16_t kVersionNeeded = 20;  // deflate
constexpr std::uint16_t kUtf8Name = 0x0800;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Set32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// What the local header and the central record of an entry share.
struct EntryHead {
    std::uint16_t flags = 0;
    std::uint16_t method = kDeflated;
    std::uint16_t time = 0;
    std::uint16_t date = 0;
    std::uint32_t crc = 0;
    std::uint32_t compressed = 0;
    std::uint32_t size = 0;
};

std::uint16_t NameFlags(std::string_view name) {
    for (char c : name)
        if (static_cast<unsigned char>(c) >= 0x80) return kUtf8Name;
    return 0;
}

// The local time as zip entries keep it (two-second steps, 1980 to 2107).
std::pair<std::uint16_t, std::uint16_t> DosTime(std::time_t when) {
    const std::optional<std::tm> local = base::LocalTimeOf(when);
    if (!local || local->tm_year < 80) return {0, (1 << 5) | 1};
    const std::tm& t = *local;
    const int year = t.tm_year - 80 > 127 ? 127 : t.tm_year - 80;
    return {static_cast<std::uint16_t>((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2)),
            static_cast<std::uint16_t>((year << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday)};
}

void PutShared(std::string& out, const EntryHead& h) {
    Put16(out, h.flags);
    Put16(out, h.method);
    Put16(out, h.time);
    Put16(out, h.date);
    Put32(out, h.crc);
    Put32(out, h.compressed);
    Put32(out, h.size);
}

void PutLocal(std::string& out, const EntryHead& h, std::string_view name) {
    Put32(out, 0x04034b50);
    Put16(out, kVersionNeeded);
    PutShared(out, h);
    Put16(out, static_cast<std::uint32_t>(name.size()));
    Put16(out, 0);  // no extra field
    out += name;
}

void PutCentral(std::string& out, const EntryHead& h, std::string_view name, std::uint16_t made_by,
                std::uint32_t attributes, std::uint32_t offset) {
    Put32(out, 0x02014b50);
    Put16(out, made_by);
    Put16(out, kVersionNeeded);
    PutShared(out, h);
    Put16(out, static_cast<std::uint32_t>(name.size()));
    Put16(out, 0);  // extra field
    Put16(out, 0);  // comment
    Put16(out, 0);  // disk
    Put16(out, 0);  // internal attributes
    Put32(out, attributes);
    Put32(out, offset);
    out += name;
}

// The stored bytes of an entry; nothing when they cannot be read whole.
std::optional<std::string> StoredBytes(::zip* archive, std::uint64_t index, std::uint64_t size) {
    zip_file_t* f = zip_fopen_index(archive, index, ZIP_FL_COMPRESSED);
    if (!f) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::uint64_t done = 0;
    while (done < size) {
        const zip_int64_t n = zip_fread(f, bytes.data() + done, size - done);
        if (n <= 0) break;
        done += static_cast<std::uint64_t>(n);
    }
    zip_fclose(f);
    if (done != size) return std::nullopt;
    return bytes;
}

constexpr zip_uint64_t kNeeded = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE |
                                 ZIP_STAT_MTIME | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD |
                                 ZIP_STAT_ENCRYPTION_METHOD;

// Whether an entry can be carried over as its stored bytes.
bool Carriable(const zip_stat_t& s) {
    return (s.valid & kNeeded) == kNeeded && s.encryption_method == ZIP_EM_NONE &&
           (s.comp_method == ZIP_CM_STORE || s.comp_method == ZIP_CM_DEFLATE) &&
           s.size <= kMaxPartBytes && s.comp_size <= kMaxPartBytes;
}

// An entry as a copy carries it: its head, its data as stored, and how the
// central directory describes it.
struct Entry {
    EntryHead head;
    std::string data;
    std::uint16_t made_by = (3 << 8) | kVersionNeeded;  // Unix
    std::uint32_t attributes = 0100644u << 16;
};

void TakeAttributes(::zip* archive, std::uint64_t index, Entry& entry) {
    zip_uint8_t opsys = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &opsys, &attributes) != 0) return;
    entry.made_by = static_cast<std::uint16_t>((opsys << 8) | kVersionNeeded);
    entry.attributes = attributes;
}

// The entry as the source stores it; nothing when it cannot be carried.
std::optional<Entry> StoredEntry(::zip* archive, std::uint64_t index, const std::string& name) {
    zip_stat_t s;
    if (zip_stat_index(archive, index, 0, &s) != 0 || !Carriable(s)) return std::nullopt;
    auto data = StoredBytes(archive, index, s.comp_size);
    if (!data) return std::nullopt;
    const auto [time, date] = DosTime(s.mtime);
    Entry entry{
        .head = {NameFlags(name), s.comp_method, time, date, s.crc,
                 static_cast<std::uint32_t>(s.comp_size), static_cast<std::uint32_t>(s.size)},
        .data = std::move(*data)};
    TakeAttributes(archive, index, entry);
    return entry;
}

// The level of the parts fixed once per package: their deflating is paid
// once, so the smallest result is worth its time.
constexpr int kFixedLevel = 9;

// The time of the source's entry, which a part replacing it keeps: a copy's
// bytes then depend only on the source and the parts, so two copies made
// from the same template and data are the same file, whenever made.
std::time_t EntryTime(::zip* archive, std::uint64_t index) {
    zip_stat_t s;
    if (zip_stat_index(archive, index, 0, &s) == 0 && (s.valid & ZIP_STAT_MTIME)) return s.mtime;
    return std::time(nullptr);
}

// The entry with content of its own, dated as the source's entry; nothing
// when too large.
std::optional<Entry> FixedEntry(::zip* archive, std::uint64_t index, const std::string& name,
                                std::string_view content) {
    if (content.size() > kMaxPartBytes) return std::nullopt;
    Entry entry;
    AppendDeflated(content, kFixedLevel, entry.data);
    const auto [time, date] = DosTime(EntryTime(archive, index));
    entry.head = {NameFlags(name),
                  kDeflated,
                  time,
                  date,
                  ZipChecksum(content),
                  static_cast<std::uint32_t>(entry.data.size()),
                  static_cast<std::uint32_t>(content.size())};
    TakeAttributes(archive, index, entry);
    return entry;
}

}  // namespace

std::unique_ptr<StoredPackage> StoredPackage::Read(
    const ZipArchive& source, std::string_view replaced,
    const std::map<std::string, std::string, std::less<>>& fixed) {
    ::zip* archive = source.handle();
    const zip_int64_t n = zip_get_num_entries(archive, 0);
    if (n <= 0 || n >= 0xFFFF) return nullptr;
    std::unique_ptr<StoredPackage> package(new StoredPackage);
    package->replaced_ = replaced;
    bool found = false;
    std::size_t fixed_found = 0;
    for (zip_int64_t i = 0; i < n; ++i) {
        const auto index = static_cast<std::uint64_t>(i);
        const char* raw = zip_get_name(archive, index, 0);
        const std::string name = raw ? raw : "";
        if (name == replaced) {
            found = true;
            Entry kept;
            TakeAttributes(archive, index, kept);
            package->made_by_ = kept.made_by;
            package->attributes_ = kept.attributes;
            package->replaced_time_ = EntryTime(archive, index);
            continue;
        }
        const auto own = fixed.find(name);
        std::optional<Entry> entry = own == fixed.end()
                                         ? StoredEntry(archive, index, name)
                                         : FixedEntry(archive, index, name, own->second);
        if (!entry) return nullptr;
        fixed_found += own != fixed.end();
        const auto offset = static_cast<std::uint32_t>(package->locals_.size());
        PutLocal(package->locals_, entry->head, name);
        package->locals_ += entry->data;
        PutCentral(package->central_, entry->head, name, entry->made_by, entry->attributes, offset);
        ++package->count_;
        if (package->locals_.size() + package->central_.size() > kLimit / 2) return nullptr;
    }
    return found && fixed_found == fixed.size() ? std::move(package) : nullptr;
}

void StoredPackage::Assemble(std::string_view part, int level, const std::filesystem::path& target,
                             std::string& out) const {
    if (part.size() > kLimit / 4)
        throw base::Failure(
            base::MessageText("无法写入{1}：内容过大。", {base::QuotedFileName(target)}));
    const std::size_t base = out.size();
    out += locals_;
    const auto offset = static_cast<std::uint32_t>(out.size() - base);
    const auto [time, date] = DosTime(replaced_time_);
    EntryHead head{NameFlags(replaced_),
                   kDeflated,
                   time,
                   date,
                   ZipChecksum(part),
                   0,
                   static_cast<std::uint32_t>(part.size())};
    PutLocal(out, head, replaced_);
    const std::size_t data = out.size();
    AppendDeflated(part, level, out);
    head.compressed = static_cast<std::uint32_t>(out.size() - data);
    Set32(out, base + offset + 18, head.compressed);  // the local header's compressed size
    const auto directory = static_cast<std::uint32_t>(out.size() - base);
    out += central_;
    PutCentral(out, head, replaced_, made_by_, attributes_, offset);
    const auto directory_size = static_cast<std::uint32_t>(out.size() - base - directory);
    Put32(out, 0x06054b50);
    Put16(out, 0);  // this disk
    Put16(out, 0);  // the directory's disk
    Put16(out, count_ + 1u);
    Put16(out, count_ + 1u);
    Put32(out, directory_size);
    Put32(out, directory);
    Put16(out, 0);  // no comment
}

}  // namespace zorbix::office
