#include "office/xlsx_cell_writer.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "base/error.h"
#include "base/file_names.h"
#include "office/formula_values.h"
#include "office/xlsx_package.h"
#include "office/xlsx_sheet_edit.h"
#include "office/xml_part.h"

namespace zorbix::office {
namespace {

// The largest sheet the formats allow.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

std::string Named(const std::filesystem::path& file, std::string_view part) {
    return base::QuotedFileName(file) + "的" + std::string(part);
}

}  // namespace

std::string ColumnLetters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters;
}

std::pair<int, int> ParseCellReference(std::string_view reference) {
    std::size_t i = 0;
    long column = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z' &&
           column <= kMaxColumns;
         ++i)
        column = column * 26 + (reference[i] - 'A' + 1);
    long row = 0;
    const std::size_t digits = i;
    for (; i < reference.size() && reference[i] >= '0' && reference[i] <= '9' && row <= kMaxRows;
         ++i)
        row = row * 10 + (reference[i] - '0');
    const bool whole = i == reference.size() && digits > 0 && i > digits;
    if (!whole || row < 1 || row > kMaxRows || column > kMaxColumns) return {0, 0};
    return {static_cast<int>(row), static_cast<int>(column)};
}

std::string CellNumberText(double value) {
    char buffer[64];
    std::to_chars_result done{};
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        done = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value));
    else
        done = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, done.ptr);
}

XlsxCellWriter::XlsxCellWriter(const std::filesystem::path& workbook)
    : package_(workbook), sheet_part_(FirstSheetPart(package_)) {}

void XlsxCellWriter::SetNumber(int row, int column, double value) {
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        throw base::Failure("单元格位置超出工作表范围（第" + std::to_string(row) + "行第" +
                            std::to_string(column) + "列）。");
    if (!std::isfinite(value))
        throw base::Failure("第" + std::to_string(row) + "行第" + std::to_string(column) +
                            "列的数值无效，无法写入工作表。");
    numbers_[{row, column}] = value;
}

void XlsxCellWriter::Save(const std::filesystem::path& target) const {
    const std::filesystem::path& file = package_.file();
    pugi::xml_document sheet;
    ParseXmlPart(sheet, package_.Read(sheet_part_), Named(file, sheet_part_));
    const pugi::xml_node worksheet = sheet.document_element();
    pugi::xml_node sheet_data;
    for (pugi::xml_node child : worksheet.children()) {
        const std::string_view name = child.name();
        if (name == "sheetData" || (name.size() > 10 && name.ends_with(":sheetData")))
            sheet_data = child;
    }
    if (!sheet_data)
        throw base::Failure(Named(file, sheet_part_) + "不是工作表（缺少sheetData）。");
    MergeNumbers(sheet_data, numbers_);
    CacheFormulaValues(sheet_data);
    if (!numbers_.empty()) {
        int last_column = 0;
        for (const auto& [position, value] : numbers_)
            last_column = std::max(last_column, position.second);
        WidenDimension(worksheet, numbers_.rbegin()->first.first, last_column);
    }

    pugi::xml_document workbook;
    ParseXmlPart(workbook, package_.Read("xl/workbook.xml"), Named(file, "xl/workbook.xml"));
    RequestFullCalculation(workbook.document_element());

    WriteZipCopy(package_, target,
                 {{sheet_part_, SaveXmlPart(sheet)}, {"xl/workbook.xml", SaveXmlPart(workbook)}});
}

}  // namespace zorbix::office
