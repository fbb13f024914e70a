#include "office/deflate_part.h"

#include <libdeflate.h>

#include <memory>
#include <new>

namespace zorbix::office {
namespace {

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
using Compressor = std::unique_ptr<libdeflate_compressor, CompressorFree>;

libdeflate_compressor* CompressorOf(int level) {
    // A compressor holds a few hundred KB of tables: made once per thread
    // and level, not per part.
    thread_local Compressor compressors[13];
    if (level < 1) level = 1;
    if (level > 12) level = 12;
    auto& c = compressors[level];
    if (!c) c.reset(libdeflate_alloc_compressor(level));
    if (!c) throw std::bad_alloc();
    return c.get();
}

}  // namespace

void AppendDeflated(std::string_view data, int level, std::string& out) {
    libdeflate_compressor* c = CompressorOf(level);
    const std::size_t start = out.size();
    const std::size_t bound = libdeflate_deflate_compress_bound(c, data.size());
    out.resize(start + bound);
    const std::size_t n =
        libdeflate_deflate_compress(c, data.data(), data.size(), out.data() + start, bound);
    out.resize(start + n);  // the bound always suffices, so n > 0
}

std::uint32_t ZipChecksum(std::string_view data) {
    return libdeflate_crc32(0, data.data(), data.size());
}

}  // namespace zorbix::office
