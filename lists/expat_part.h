// A part of a zip package streamed through expat in blocks, for parts too
// large to parse whole. Subclasses see elements (local names, without a
// namespace prefix) and character data. A part carrying a document type
// definition is refused (Office parts never carry one; one that does is made
// to define entities), as is one that unpacks larger than
// kMaxStreamedPartBytes or than its zip entry says.
#pragma once

#include <expat.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "office/zip_archive.h"

struct zip_file;

namespace zorbix::lists {

// A part may unpack to this much when streamed: far beyond a list of every
// project of the province, and a bound on the time a zip bomb can take.
inline constexpr std::uint64_t kMaxStreamedPartBytes = std::uint64_t{1} << 30;

class ExpatPart {
public:
    ExpatPart();
    virtual ~ExpatPart();
    ExpatPart(const ExpatPart&) = delete;
    ExpatPart& operator=(const ExpatPart&) = delete;

    // Streams the part; throws base::Failure naming file and part.
    void Read(const office::ZipArchive& package, const std::string& part);

    // Told the bytes unpacked so far and the part's size, every few blocks.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;

protected:
    virtual void Start(std::string_view name, const XML_Char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view text) = 0;

    // "文件“…”的xl/worksheets/sheet1.xml", for messages.
    const std::string& what() const { return what_; }

    static const char* Attribute(const XML_Char** attributes, std::string_view name);

private:
    static void OnStart(void* self, const XML_Char* name, const XML_Char** attributes);
    static void OnEnd(void* self, const XML_Char* name);
    static void OnText(void* self, const XML_Char* text, int length);
    static void OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int);
    // Keeps what a handler threw for after the parser has returned: an
    // exception must not pass through the C library.
    void Stop(std::exception_ptr error);
    void Feed(::zip_file* file, std::uint64_t declared);

    XML_Parser parser_;
    std::string what_;
    std::exception_ptr error_;
};

}  // namespace zorbix::lists
