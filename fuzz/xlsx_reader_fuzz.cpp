// The workbook reader on any bytes saved as an .xlsx file: it reads a sheet
// or refuses the file with its message; every cell it gives lies inside the
// sheet's bounds.
#include <cstddef>
#include <cstdint>

#include "base/error.h"
#include "base/gbk.h"
#include "fuzz/fuzz_file.h"
#include "office/sheet_reader.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzzing::WriteInput("input.xlsx", data, size);
    try {
        const office::Sheet sheet = office::ReadFirstSheet(file);
        if (sheet.CellCount() > office::Sheet::kMaxCells) __builtin_trap();
        if (sheet.LastRow() < 0 || sheet.LastRow() > office::Sheet::kMaxRow) __builtin_trap();
        for (int row = 1; row <= sheet.LastRow() && row <= 64; ++row)
            for (int column = 1; column <= 32; ++column) (void)sheet.At(row, column).text.size();
    } catch (const base::GbkError&) {
    } catch (const base::Failure&) {
    }
    return 0;
}
