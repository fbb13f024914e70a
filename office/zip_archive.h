// Read access to a zip package (xlsx, docx) and writing a copy of one with
// some parts replaced. Every failure is a base::Failure whose message names
// the file and the reason, for the user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct zip;

namespace zorbix::office {

// A part larger than this when unpacked is refused: a real template or plan
// workbook is far smaller, and a zip bomb must not fill the memory.
inline constexpr std::uint64_t kMaxPartBytes = 64ull << 20;

class ZipArchive {
public:
    // Opens a zip file; refuses a file that is not a zip and one with an
    // entry name that would leave its folder ("../", an absolute path).
    explicit ZipArchive(const std::filesystem::path& file);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool Has(std::string_view name) const;
    // The unpacked bytes of a part; fails for a missing, damaged or too large one.
    std::string Read(std::string_view name) const;
    std::vector<std::string> Names() const;

    const std::filesystem::path& file() const { return file_; }
    ::zip* handle() const { return zip_; }

private:
    std::filesystem::path file_;
    ::zip* zip_ = nullptr;
};

// Writes a copy of source to target: every part unchanged, byte for byte,
// except those named in `replaced` (added when new). The copy is written to a
// temporary file and renamed, so a failure never leaves half a file under the
// final name. target must not be source's file.
void WriteZipCopy(const ZipArchive& source, const std::filesystem::path& target,
                  const std::map<std::string, std::string>& replaced);

// What a copy of source refuses before writing: source's own file, by the
// protected file's message when it is one (a template). Other protected
// targets are refused by the atomic writer. Throws base::Failure.
void RefuseCopyTarget(const ZipArchive& source, const std::filesystem::path& target);

// As above, the replaced parts deflated at `level` (1 fastest to 9
// smallest), for a writer that measured its own parts.
void WriteZipCopy(const ZipArchive& source, const std::filesystem::path& target,
                  const std::map<std::string, std::string>& replaced, int level);

// Writes a new zip of these parts, in this order, atomically.
void WriteZip(const std::filesystem::path& target,
              const std::vector<std::pair<std::string, std::string>>& parts);

// A part whose bytes lie in a file (a large sheet written piece by piece),
// deflated at `level` (1 fastest to 9 smallest).
struct ZipFilePart {
    std::string name;
    std::filesystem::path file;
    int level = 6;
};

// As above, the file parts after the others; the files are read while the
// zip is written and left in place.
void WriteZip(const std::filesystem::path& target,
              const std::vector<std::pair<std::string, std::string>>& parts,
              const std::vector<ZipFilePart>& file_parts);

}  // namespace zorbix::office
