// Workbooks as a client uploads them and as the server answers them: made
// from rows of cells with the program's own workbook writer, and read back
// with its reader.
#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "office/sheet.h"

namespace zorbix::testing {

using WorkbookCell = std::variant<std::string, double>;
using WorkbookRows = std::vector<std::vector<WorkbookCell>>;

// The bytes of an .xlsx workbook of one sheet holding the rows from row 1,
// made in `scratch` (a folder of the test's own).
std::string WorkbookBytes(const std::filesystem::path& scratch, const WorkbookRows& rows);

// The first sheet of the workbook bytes.
office::Sheet SheetOfBytes(const std::filesystem::path& scratch, const std::string& bytes);

}  // namespace zorbix::testing
