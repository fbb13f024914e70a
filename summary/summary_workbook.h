// Writing a summary's grid into its template and saving it beside it.
#pragma once

#include <filesystem>

#include "summary/summary_catalogue.h"
#include "summary/summary_grid.h"

namespace zorbix::summary {

// Copies every grid cell above 0 of rows 1 to 200 and columns 1 to the
// summary's last column into the first sheet of "<name>.xlsx" in the
// program directory and saves the result as "<name>_2013.xlsx" there,
// replacing an earlier one. Cells of 0 or below are not written, so the
// template's content stays. Throws base::Failure naming the workbook and
// the reason when the template cannot be read or the output not written.
void WriteSummaryWorkbook(const std::filesystem::path& program_dir,
                          const SummaryDefinition& summary, const SummaryGrid& grid);

// True when the summary commands can work: their key template is there.
bool SummaryTemplatesPresent(const std::filesystem::path& program_dir);

}  // namespace zorbix::summary
