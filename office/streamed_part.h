// A part of a zip package streamed through the XML reader (xml_stream.h)
// in blocks straight from the zip, for parts too large to hold whole.
// Subclasses see elements (local names, without a namespace prefix) and
// character data. A part carrying a document type definition is refused
// (Office parts never carry one; one that does is made to define
// entities), as is one that unpacks larger than kMaxStreamedPartBytes or
// than its zip entry says.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "office/xml_stream.h"
#include "office/zip_archive.h"

struct zip_file;

namespace zorbix::office {

// A part may unpack to this much when streamed: far beyond a list of every
// project of the province, and a bound on the time a zip bomb can take.
inline constexpr std::uint64_t kMaxStreamedPartBytes = std::uint64_t{1} << 30;

class StreamedPart : public XmlHandler {
public:
    // Streams the part; throws base::Failure naming file and part.
    void Read(const office::ZipArchive& package, const std::string& part);

    // Told the bytes unpacked so far and the part's size, every few blocks.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;

protected:
    // "文件“…”的xl/worksheets/sheet1.xml", for messages.
    const std::string& what() const { return what_; }

private:
    void Feed(::zip_file* file, std::uint64_t declared, XmlStream& stream);

    std::string what_;
};

}  // namespace zorbix::office
