#include "lists/list_file_reader.h"

#include <array>
#include <fstream>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "lists/csv_rows.h"
#include "office/csv_text.h"
#include "office/list_workbook.h"

namespace zorbix::lists {

using office::CsvReader;
using office::ListCell;
using office::ReadXlsxRows;

namespace {

using base::Failure;

void RefuseMissing(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) throw Failure(base::FolderInsteadOfFile(file));
    if (!std::filesystem::is_regular_file(file, ec))
        throw Failure(base::MessageText("找不到{1}。", {base::QuotedFileName(file)}));
}

// A workbook is a zip package; an older .xls one is named as such.
void RefuseOtherThanXlsx(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 8> head{};
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    if (in.gcount() >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4)
        return;
    if (in.gcount() == 8 && head[0] == 0xD0 && head[1] == 0xCF && head[2] == 0x11 &&
        head[3] == 0xE0)
        throw Failure(base::MessageText(
            "{1}是旧式的Excel工作簿（.xls），请用Excel另存为.xlsx工作簿后再导入。",
            {base::QuotedFileName(file)}));
    throw Failure(
        base::MessageText("{1}不是Excel工作簿（.xlsx），或已损坏。", {base::QuotedFileName(file)}));
}

}  // namespace

void ReadListRows(const std::filesystem::path& file, ListFormat format, const RowVisitor& visit,
                  const ReadProgress& progress) {
    RefuseMissing(file);
    if (format == ListFormat::Csv) return ReadCsvFileRows(file, visit, progress);
    RefuseOtherThanXlsx(file);
    ReadXlsxRows(file, visit, progress);
}

}  // namespace zorbix::lists
