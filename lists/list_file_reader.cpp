#include "lists/list_file_reader.h"

#include <array>
#include <fstream>

#include "base/error.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/utf8.h"
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
        throw Failure("找不到" + base::QuotedFileName(file) + "。");
}

std::string ReadWhole(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) throw Failure("无法读取" + base::QuotedFileName(file) + "：" + ec.message() + "。");
    if (size > kMaxCsvBytes) throw Failure(base::QuotedFileName(file) + "大于1GB，不是项目表。");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Failure("无法打开" + base::QuotedFileName(file) + "，请检查是否有读取权限。");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (in.gcount() != static_cast<std::streamsize>(size))
        throw Failure("读取" + base::QuotedFileName(file) + "时出错。");
    return bytes;
}

// UTF-8 as it is; otherwise GBK, as Excel writes CSV on Chinese desktops.
std::string CsvText(std::string bytes, const std::filesystem::path& file) {
    if (base::IsUtf8(bytes)) return bytes;
    try {
        return base::FromGbk(bytes);
    } catch (const base::GbkError&) {
        throw Failure(base::QuotedFileName(file) +
                      "既不是UTF-8编码也不是GBK编码的文本，不是CSV格式的项目表。");
    }
}

void ReadCsvRows(const std::filesystem::path& file, const RowVisitor& visit,
                 const ReadProgress& progress) {
    const std::string text = CsvText(ReadWhole(file), file);
    if (text.find('\0') != std::string::npos)
        throw Failure(base::QuotedFileName(file) + "含有空字符，不是CSV格式的项目表。");
    CsvReader reader(text, base::QuotedFileName(file));
    std::vector<std::string> fields;
    std::vector<ListCell> cells;
    for (int row = 1; reader.Next(fields); ++row) {
        cells.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].empty()) continue;
            cells.push_back(
                {static_cast<int>(i) + 1, ListCell::Kind::Text, std::move(fields[i]), 0});
        }
        if (!cells.empty()) visit(row, cells);
        if (progress && row % 1024 == 0)
            progress(static_cast<long>(reader.offset() >> 10),
                     static_cast<long>(text.size() >> 10));
    }
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
        throw Failure(base::QuotedFileName(file) +
                      "是旧式的Excel工作簿（.xls），请用Excel另存为.xlsx工作簿后再导入。");
    throw Failure(base::QuotedFileName(file) + "不是Excel工作簿（.xlsx），或已损坏。");
}

}  // namespace

void ReadListRows(const std::filesystem::path& file, ListFormat format, const RowVisitor& visit,
                  const ReadProgress& progress) {
    RefuseMissing(file);
    if (format == ListFormat::Csv) return ReadCsvRows(file, visit, progress);
    RefuseOtherThanXlsx(file);
    ReadXlsxRows(file, visit, progress);
}

}  // namespace zorbix::lists
