// Deflating a whole part in one call, and its zip checksum (libdeflate:
// several times faster than zlib at the same size for our XML parts).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorbix::office {

// Appends the raw deflate stream of data (as a zip entry holds it) at
// `level` (1 fastest to 12 smallest) to out. Each thread keeps one
// compressor per level.
void AppendDeflated(std::string_view data, int level, std::string& out);

// The CRC-32 of data, as zip entries carry it.
std::uint32_t ZipChecksum(std::string_view data);

}  // namespace zorbix::office
