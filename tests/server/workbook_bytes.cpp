#include "tests/server/workbook_bytes.h"

#include <fstream>
#include <iterator>

#include "office/list_workbook.h"
#include "office/sheet_reader.h"

namespace zorbix::testing {

std::string WorkbookBytes(const std::filesystem::path& scratch, const WorkbookRows& rows) {
    const auto file = scratch / "upload.xlsx";
    office::ListWorkbook workbook(file);
    workbook.AddSheet("Sheet1");
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const int row = static_cast<int>(r);
            const int column = static_cast<int>(c);
            if (const auto* text = std::get_if<std::string>(&rows[r][c]))
                workbook.Text(row, column, *text);
            else
                workbook.Number(row, column, std::get<double>(rows[r][c]));
        }
    workbook.Close();
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

office::Sheet SheetOfBytes(const std::filesystem::path& scratch, const std::string& bytes) {
    const auto file = scratch / "answer.xlsx";
    std::ofstream(file, std::ios::binary) << bytes;
    return office::ReadFirstSheet(file);
}

}  // namespace zorbix::testing
