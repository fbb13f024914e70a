#include "lists/finding_rows.h"

#include <array>

#include "check/finding_fields.h"
#include "lists/list_columns.h"
#include "store/catalogue.h"

namespace zorbix::lists {
namespace {

// The row of a finding: its project's name from `record` (none without
// one), the field it leads to and its panel line. A finding read back from
// text has no field yet: the rule's focus on the record gives it.
FindingRow RowOf(const check::Finding& finding, const store::Record* record) {
    FindingRow row;
    row.number = finding.project;
    row.text = check::PanelLine(finding);
    if (!record) return row;
    row.name = (*record)[store::ColumnIndex("JB01")];
    const int focus =
        finding.column >= 0 ? finding.column : check::FocusColumn(finding.text, *record);
    if (focus < 0) return row;
    const store::Column& column = store::Columns()[focus];
    row.page = store::PageCaption(column.page);
    row.column = column.name;
    row.caption = HeadingCaption(column);
    return row;
}

}  // namespace

void AddFindingRows(const store::Record& record, std::span<const check::Finding> findings,
                    std::vector<FindingRow>& rows) {
    for (const check::Finding& finding : findings) rows.push_back(RowOf(finding, &record));
}

std::vector<FindingRow> FindingRowsOf(std::span<const check::Finding> findings,
                                      const RecordLookup& find) {
    std::vector<FindingRow> rows;
    const std::string* last_number = nullptr;
    std::optional<store::Record> record;
    for (const check::Finding& finding : findings) {
        // A project's findings stand together: one lookup per project.
        if (!last_number || finding.project != *last_number) {
            record = find(finding.project);
            last_number = &finding.project;
        }
        rows.push_back(RowOf(finding, record ? &*record : nullptr));
    }
    return rows;
}

void WriteFindingsSheet(ListWorkbook& workbook, const std::vector<FindingRow>& rows) {
    static constexpr std::array<std::string_view, 6> kHeadings = {
        "项目编号", "项目名称", "页面", "列名", "栏目", "审核结果"};
    static constexpr std::array<double, 6> kWidths = {15, 30, 24, 9, 24, 60};
    workbook.AddSheet(kFindingsSheetName);
    workbook.FreezeAt(1, 0);
    // The layout before the first cell.
    for (int c = 0; c < static_cast<int>(kWidths.size()); ++c) workbook.SetWidth(c, kWidths[c]);
    for (int c = 0; c < static_cast<int>(kHeadings.size()); ++c)
        workbook.Heading(0, c, kHeadings[c]);
    int r = 1;
    for (const FindingRow& row : rows) {
        const std::array<const std::string*, 6> cells = {&row.number, &row.name,    &row.page,
                                                         &row.column, &row.caption, &row.text};
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) workbook.Text(r, c, *cells[c]);
        ++r;
    }
    workbook.AutoFilter(0, std::max(r - 1, 0), static_cast<int>(kHeadings.size()) - 1);
}

}  // namespace zorbix::lists
