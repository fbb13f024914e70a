// The plan workbook of the collecting office: the planned projects of the
// survey year, one per row of its first sheet from row 2 on, with the project
// number in column 2, three describing columns and the planned provincial
// appropriation (in ten thousand yuan) in column 6.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "office/sheet.h"

namespace zorbix::reconcile {

inline constexpr const char* kPlanWorkbookXlsx = "2013计划.xlsx";
inline constexpr const char* kPlanWorkbookXls = "2013计划.xls";

struct PlannedProject {
    int row = 0;                         // the sheet row, for messages
    double number = 0;                   // the project number's value
    std::string number_text;             // column 2 as the sheet shows it
    std::array<std::string, 3> details;  // columns 3, 4 and 5 unchanged
    double amount = 0;                   // column 6
};

// The plan workbook in the program directory: "2013计划.xlsx", or
// "2013计划.xls" when only that exists. Throws base::Failure naming both
// names and the directory when neither is there.
std::filesystem::path FindPlanWorkbook(const std::filesystem::path& program_dir);

// The planned projects of a plan sheet, rows 2 to the first empty project
// number, in sheet order; none for a sheet holding only its heading row.
// Throws base::Failure (naming `file_name`) for a sheet that is not a plan
// list: nothing in row 1 nor a project number in row 2, a number cell that
// holds no number, or no planned amount in column 6 at all.
std::vector<PlannedProject> PlanList(const office::Sheet& sheet, const std::string& file_name);

// Reads the first sheet of a plan workbook and its planned projects.
std::vector<PlannedProject> ReadPlanList(const std::filesystem::path& file);

}  // namespace zorbix::reconcile
