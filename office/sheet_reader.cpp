#include "office/sheet_reader.h"

#include <array>
#include <fstream>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"

namespace zorbix::office {
namespace {

enum class WorkbookKind { Xlsx, Xls, Unknown };

// A zip package starts "PK\3\4"; a compound document (.xls) with its own
// eight-byte signature.
WorkbookKind KindOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw base::Failure(base::MessageText("无法打开文件“{1}”。", {file.string()}));
    std::array<unsigned char, 8> head{};
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    constexpr std::array<unsigned char, 8> kCompound = {0xD0, 0xCF, 0x11, 0xE0,
                                                        0xA1, 0xB1, 0x1A, 0xE1};
    if (in.gcount() >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4)
        return WorkbookKind::Xlsx;
    if (in.gcount() == 8 && head == kCompound) return WorkbookKind::Xls;
    return WorkbookKind::Unknown;
}

}  // namespace

Sheet ReadFirstSheet(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        throw base::Failure(base::FolderInsteadOfFile(file));
    if (!std::filesystem::is_regular_file(file, ec))
        throw base::Failure(base::MessageText("找不到文件“{1}”。", {file.string()}));
    switch (KindOf(file)) {
        case WorkbookKind::Xlsx: return ReadXlsxFirstSheet(file);
        case WorkbookKind::Xls: return ReadXlsFirstSheet(file);
        case WorkbookKind::Unknown: break;
    }
    throw base::Failure(
        base::MessageText("{1}不是Excel工作簿，或已损坏。", {base::QuotedFileName(file)}));
}

}  // namespace zorbix::office
