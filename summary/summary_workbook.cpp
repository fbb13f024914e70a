#include "summary/summary_workbook.h"

#include <algorithm>

#include "office/xlsx_cell_writer.h"

namespace zorbix::summary {

void WriteSummaryWorkbook(const std::filesystem::path& program_dir,
                          const SummaryDefinition& summary, const SummaryGrid& grid) {
    office::XlsxCellWriter workbook(program_dir / TemplateFileName(summary));
    const int last_column = std::min(summary.last_column, grid.Columns() - 1);
    for (int row = 1; row <= kLastWrittenRow; ++row)
        for (int column = 1; column <= last_column; ++column)
            if (const double value = grid.At(row, column); value > 0)
                workbook.SetNumber(row, column, value);
    workbook.Save(program_dir / OutputFileName(summary));
}

bool SummaryTemplatesPresent(const std::filesystem::path& program_dir) {
    std::error_code ec;
    return std::filesystem::is_regular_file(program_dir / kTalentTemplate, ec);
}

}  // namespace zorbix::summary
