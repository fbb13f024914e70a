// The .xls plan reader (FreeXL) on any bytes: it reads a sheet or refuses the
// file with its message.
#include <cstddef>
#include <cstdint>

#include "base/error.h"
#include "base/gbk.h"
#include "fuzz/fuzz_file.h"
#include "office/sheet_reader.h"

using namespace zorbix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = fuzzing::WriteInput("input.xls", data, size);
    try {
        const office::Sheet sheet = office::ReadXlsFirstSheet(file);
        if (sheet.CellCount() > office::Sheet::kMaxCells) __builtin_trap();
        for (int row = 1; row <= sheet.LastRow() && row <= 64; ++row)
            for (int column = 1; column <= 8; ++column) (void)sheet.At(row, column).text.size();
    } catch (const base::GbkError&) {
    } catch (const base::Failure&) {
    }
    return 0;
}
