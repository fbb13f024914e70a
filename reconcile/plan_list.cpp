#include "reconcile/plan_list.h"

#include "base/error.h"
#include "base/message_text.h"
#include "office/sheet_reader.h"

namespace zorbix::reconcile {
namespace {

using base::Failure;

constexpr int kFirstPlanRow = 2;
constexpr int kNumberColumn = 2;
constexpr int kFirstDetailColumn = 3;
constexpr int kAmountColumn = 6;

// A project number cell must begin with a digit (after blanks): a heading or
// a total row inside the list would otherwise count as a planned project
// numbered 0 and make every comparison after it wrong.
bool HoldsNumber(const office::Cell& cell) {
    if (cell.kind == office::Cell::Kind::Number) return true;
    for (char c : cell.text) {
        if (c == ' ') continue;
        return c >= '0' && c <= '9';
    }
    return false;
}

PlannedProject PlannedAt(const office::Sheet& sheet, int row, const std::string& file_name) {
    const office::Cell& number = sheet.At(row, kNumberColumn);
    if (!HoldsNumber(number))
        throw base::Failure(
            base::MessageText("计划文件“{1}”第{2}行第2列“{3}”不是项目编号，请检查计划表。",
                              {file_name, std::to_string(row), number.text}));
    PlannedProject p;
    p.row = row;
    p.number = number.number;
    p.number_text = number.text;
    for (int i = 0; i < 3; ++i) p.details[i] = sheet.At(row, kFirstDetailColumn + i).text;
    p.amount = sheet.At(row, kAmountColumn).number;
    return p;
}

}  // namespace

std::filesystem::path FindPlanWorkbook(const std::filesystem::path& program_dir) {
    std::error_code ec;
    for (const char* name : {kPlanWorkbookXlsx, kPlanWorkbookXls}) {
        const auto file = program_dir / name;
        if (std::filesystem::exists(file, ec)) return file;
    }
    throw base::Failure(
        base::MessageText("找不到计划文件“{1}”或“{2}”，请将计划文件放在程序目录“{3}”中。",
                          {kPlanWorkbookXlsx, kPlanWorkbookXls, program_dir.string()}));
}

std::vector<PlannedProject> PlanList(const office::Sheet& sheet, const std::string& file_name) {
    std::vector<PlannedProject> plan;
    bool any_amount = false;
    for (int row = kFirstPlanRow; !sheet.At(row, kNumberColumn).IsEmpty(); ++row) {
        plan.push_back(PlannedAt(sheet, row, file_name));
        any_amount = any_amount || !sheet.At(row, kAmountColumn).IsEmpty();
    }
    // A plan whose first sheet holds only its heading row plans no project:
    // the reconciliation then reports every stored project as unplanned.
    if (plan.empty() && sheet.RowHasCells(1)) return plan;
    if (plan.empty())
        throw base::Failure("计划文件“" + file_name +
                            "”第一张工作表的第2行第2列没有项目编号，不是计划表（第1行为表头，"
                            "从第2行起每行一个项目，第2列为项目编号，第6列为计划金额）。");
    if (!plan.empty() && !any_amount)
        throw base::Failure("计划文件“" + file_name +
                            "”第一张工作表的第6列（计划金额）没有数据，"
                            "不是计划表。");
    return plan;
}

std::vector<PlannedProject> ReadPlanList(const std::filesystem::path& file) {
    return PlanList(office::ReadFirstSheet(file), file.string());
}

}  // namespace zorbix::reconcile
