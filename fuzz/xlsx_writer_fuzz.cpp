// The xlsx cell writer on any template: it fills a few cells and saves a
// workbook that reads back with those numbers, or refuses the template with
// its message.
#include <cstddef>
#include <cstdint>

#include "base/error.h"
#include "base/gbk.h"
#include "fuzz/fuzz_file.h"
#include "office/sheet_reader.h"
#include "office/xlsx_cell_writer.h"

using namespace zorbix;

namespace {

struct Filled {
    int row;
    int column;
    double value;
};

constexpr Filled kCells[] = {{1, 1, 7}, {2, 3, 1234.5}, {15, 2, 42}, {149, 27, 1e6}, {3, 3, 0.25}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto source = fuzzing::WriteInput("template.xlsx", data, size);
    const auto target = fuzzing::FuzzFolder() / "filled_2013.xlsx";
    bool template_reads = true;
    try {
        (void)office::ReadXlsxFirstSheet(source);
    } catch (const base::Failure&) {
        template_reads = false;
    }
    try {
        office::XlsxCellWriter writer(source);
        for (const auto& cell : kCells) writer.SetNumber(cell.row, cell.column, cell.value);
        writer.Save(target);
    } catch (const base::GbkError&) {
        return 0;
    } catch (const base::Failure&) {
        return 0;
    }
    // What was saved from a readable template must read back with the
    // numbers put there.
    if (!template_reads) return 0;
    try {
        const office::Sheet sheet = office::ReadXlsxFirstSheet(target);
        for (const auto& cell : kCells)
            if (sheet.At(cell.row, cell.column).number != cell.value) __builtin_trap();
    } catch (const base::Failure&) {
        __builtin_trap();
    }
    return 0;
}
