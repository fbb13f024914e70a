// Hostile files made at test time: zips written byte by byte (so a part may
// claim any size or any name, which no zip library would write), a deflate
// stream that unpacks to gigabytes from a few megabytes, XML parts with
// entity expansion, and the process's memory use to check against.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "office/zip_archive.h"

namespace zorbix::testing {

// One zip entry as it is written: the stored bytes and what the headers say.
struct RawEntry {
    std::string name;
    std::string data;          // the bytes in the file (deflated when method is 8)
    std::uint16_t method = 0;  // 0 stored, 8 deflated
    std::uint32_t crc = 0;
    std::uint32_t unpacked = 0;  // the size the headers declare
};

inline RawEntry Stored(std::string name, std::string bytes) {
    RawEntry e{std::move(name), std::move(bytes)};
    e.crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
    e.unpacked = static_cast<std::uint32_t>(e.data.size());
    return e;
}

// A part as a zip library writes it: deflated, its true size declared. A
// part of one repeated piece packs to a few hundred kilobytes.
inline RawEntry Deflated(std::string name, const std::string& bytes) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    RawEntry e = Stored(std::move(name), bytes);
    e.data = std::move(out);
    e.method = 8;
    return e;
}

// `xml` with `piece` repeated inside its root element until the part holds
// about `mib` MiB: the many tiny elements of a memory bomb.
inline std::string Swollen(std::string xml, const std::string& piece, std::size_t mib) {
    const std::size_t declaration = xml.rfind("<?xml", 0) == 0 ? xml.find("?>") + 2 : 0;
    const std::size_t root_end = xml.find('>', declaration + 1) + 1;
    std::string filling;
    filling.reserve((mib << 20) + piece.size());
    while (filling.size() < (mib << 20)) filling += piece;
    return xml.insert(root_end, filling);
}

// A part whose deflated data unpacks to `mib` MiB of zero bytes; the headers
// declare `declared` bytes (the true size, or a lie). Built from one
// repeated fully flushed block, so 3 GiB cost 3 MB and no time.
inline RawEntry ZerosBomb(std::string name, std::uint32_t mib, std::uint32_t declared) {
    const std::string zeros(1u << 20, '\0');
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    auto flush_block = [&](int mode, bool with_input) {
        std::string out(1u << 16, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        z.avail_in = with_input ? static_cast<uInt>(zeros.size()) : 0;
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, mode);
        out.resize(out.size() - z.avail_out);
        return out;
    };
    const std::string first = flush_block(Z_FULL_FLUSH, true);
    const std::string block = flush_block(Z_FULL_FLUSH, true);
    const std::string end = flush_block(Z_FINISH, false);
    deflateEnd(&z);
    RawEntry e{std::move(name), first, 8};
    for (std::uint32_t i = 1; i < mib; ++i) e.data += block;
    e.data += end;
    const uLong block_crc = crc32(0, reinterpret_cast<const Bytef*>(zeros.data()), 1u << 20);
    uLong crc = block_crc;
    for (std::uint32_t i = 1; i < mib; ++i) crc = crc32_combine(crc, block_crc, 1u << 20);
    e.crc = static_cast<std::uint32_t>(crc);
    e.unpacked = declared;
    return e;
}

inline void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Writes the entries as a zip file: local headers, data, central directory.
inline void WriteRawZip(const std::filesystem::path& file, const std::vector<RawEntry>& entries) {
    std::string body, directory;
    for (const auto& e : entries) {
        const auto offset = static_cast<std::uint32_t>(body.size());
        auto header = [&](std::string& out, bool central) {
            Put32(out, central ? 0x02014b50 : 0x04034b50);
            if (central) Put16(out, 20);
            Put16(out, 20);
            Put16(out, 0x0800);  // names in UTF-8
            Put16(out, e.method);
            Put32(out, 0);  // time and date
            Put32(out, e.crc);
            Put32(out, static_cast<std::uint32_t>(e.data.size()));
            Put32(out, e.unpacked);
            Put16(out, static_cast<std::uint32_t>(e.name.size()));
            Put16(out, 0);
            if (central) {
                Put16(out, 0), Put16(out, 0), Put16(out, 0), Put32(out, 0), Put32(out, offset);
            }
            out += e.name;
        };
        header(body, false);
        body += e.data;
        header(directory, true);
    }
    std::string end;
    Put32(end, 0x06054b50);
    Put16(end, 0), Put16(end, 0);
    Put16(end, static_cast<std::uint32_t>(entries.size()));
    Put16(end, static_cast<std::uint32_t>(entries.size()));
    Put32(end, static_cast<std::uint32_t>(directory.size()));
    Put32(end, static_cast<std::uint32_t>(body.size()));
    Put16(end, 0);
    std::ofstream(file, std::ios::binary) << body << directory << end;
}

// Every part of a package as stored entries, in order.
inline std::vector<RawEntry> StoredParts(const std::filesystem::path& package) {
    const office::ZipArchive zip(package);
    std::vector<RawEntry> entries;
    for (const auto& name : zip.Names()) entries.push_back(Stored(name, zip.Read(name)));
    return entries;
}

// The package rewritten with one part's entry replaced (or added when new).
inline void RewriteWithPart(const std::filesystem::path& source,
                            const std::filesystem::path& target, RawEntry part) {
    auto entries = StoredParts(source);
    bool replaced = false;
    for (auto& e : entries)
        if (e.name == part.name) e = part, replaced = true;
    if (!replaced) entries.push_back(std::move(part));
    WriteRawZip(target, entries);
}

// An XML part that defines the "billion laughs" entities and uses the last
// of them where `text` would stand in `before` + text + `after`.
inline std::string BillionLaughs(const std::string& before, const std::string& after) {
    std::string dtd =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        dtd += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) dtd += i == 1 ? "&lol;" : "&lol" + std::to_string(i - 1) + ";";
        dtd += "\">";
    }
    return dtd + "]>" + before + "&lol9;" + after;
}

// How much the resident memory of this process grew at its peak since the
// watch began, in MiB: the peak (VmHWM) is reset at the start, so tests run
// before in the same process (and what a sanitizer keeps) do not count.
class MemoryWatch {
public:
    MemoryWatch() {
        std::ofstream("/proc/self/clear_refs") << "5";
        start_ = Read("VmRSS:");
    }
    long GrowthMiB() const { return (Read("VmHWM:") - start_) / 1024; }

private:
    static long Read(const std::string& key) {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind(key, 0) == 0) return std::stol(line.substr(key.size()));
        return -1;
    }
    long start_ = 0;  // KiB
};

}  // namespace zorbix::testing
