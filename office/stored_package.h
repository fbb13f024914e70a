// A package read once as its stored entries (compressed bytes, checksums,
// times), so that copies of it with one part replaced are assembled in
// memory: no other entry is inflated, deflated or read from the source file
// again, and the copy is one buffer for one write.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "office/zip_archive.h"

namespace zorbix::office {

class StoredPackage {
public:
    // The entries of source, except `replaced`, which each copy brings anew.
    // The entries named in `fixed` take the content given there in every
    // copy, deflated once here and kept in their places. Null when the
    // package holds what such a copy does not carry (an encrypted entry, a
    // method other than stored or deflated, sizes that need zip64) or lacks
    // `replaced` or a fixed entry: it is copied through libzip then. Throws
    // base::Failure naming the file when an entry cannot be read.
    static std::unique_ptr<StoredPackage> Read(
        const ZipArchive& source, std::string_view replaced,
        const std::map<std::string, std::string, std::less<>>& fixed = {});

    // Appends to out a zip of the unchanged entries, in the source's order,
    // and then `part` as the replaced entry, deflated at `level`
    // (office/deflate_part.h) and dated as the source's entry it replaces
    // (fixed entries too), so that copies made at different times of the
    // same source and parts are the same bytes. Throws base::Failure naming
    // target when the part is too large for a plain zip.
    void Assemble(std::string_view part, int level, const std::filesystem::path& target,
                  std::string& out) const;

private:
    StoredPackage() = default;

    std::string locals_;   // local headers and data of the unchanged entries
    std::string central_;  // their central directory records
    std::uint16_t count_ = 0;
    std::string replaced_;
    std::time_t replaced_time_ = 0;   // of the replaced entry in the source
    std::uint16_t made_by_ = 0x0314;  // of the replaced entry: Unix, zip 2.0
    std::uint32_t attributes_ = 0100644u << 16;
};

}  // namespace zorbix::office
