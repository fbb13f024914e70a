// Reading the first sheet of an .xlsx workbook into a Sheet, through the
// same streaming row reader as the project list (xlsx_rows.h). The sheet's
// texts stand as the file spells them ("_xHHHH_" not decoded), as the plan
// workbook has always been read.
#include <cstddef>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/sheet_reader.h"
#include "office/xlsx_package.h"
#include "office/xlsx_rows.h"
#include "office/xml_budget.h"

namespace zorbix::office {
namespace {

// A number stays a number even where a date style shows it as a date; a
// boolean, an error and an ISO date (t="d") are their texts.
Cell CellOf(const ListCell& cell) {
    if (cell.numeric) return Cell::FromNumber(cell.number);
    return Cell::FromText(cell.text);
}

// Whether the sheet's XML holds its data part: an element sheetData, with
// or without a namespace prefix.
bool HasSheetData(std::string_view xml) {
    constexpr std::string_view kName = "sheetData";
    for (auto at = xml.find(kName); at != std::string_view::npos; at = xml.find(kName, at + 1)) {
        const char before = at > 0 ? xml[at - 1] : ' ';
        const char after = at + kName.size() < xml.size() ? xml[at + kName.size()] : ' ';
        if ((before == '<' || before == ':') && (after == '>' || after == '/' || after == ' ' ||
                                                 after == '\t' || after == '\r' || after == '\n'))
            return true;
    }
    return false;
}

// A sheet (or its shared strings) of millions of tiny elements is refused
// with the words the plan workbook has always used, though the rows stream
// through: no real plan list comes near the bound (xml_budget.h). Tells
// whether the sheet has its data part.
bool CheckParts(const std::filesystem::path& file, const std::string& named) {
    const ZipArchive package(file);
    const std::string sheet_part = FirstSheetPart(package);
    const std::string sheet = package.Read(sheet_part);
    if (const std::string part = SharedStringsPart(package); package.Has(part))
        RefuseOversizedXml(package.Read(part), base::MessageText("{1}的{2}", {named, part}));
    RefuseOversizedXml(sheet, base::MessageText("{1}的{2}", {named, sheet_part}));
    return HasSheetData(sheet);
}

// Puts each row's cells into the sheet, within its bounds.
class SheetFiller {
public:
    explicit SheetFiller(std::string named) : named_(std::move(named)) {}

    void AddRow(int row, std::span<const ListCell> cells) {
        for (const ListCell& listed : cells) {
            Cell cell = CellOf(listed);
            if (cell.IsEmpty()) continue;
            // A long shared string used by many cells is copied into each:
            // the texts are bounded, not only the XML.
            text_bytes_ += cell.text.size();
            if (text_bytes_ > kMaxSheetTextBytes)
                throw base::Failure(
                    base::MessageText("{1}的第一张工作表中的文字过多，已拒绝读取。", {named_}));
            if (!sheet_.Put(row, listed.column, std::move(cell)))
                throw base::Failure(
                    base::MessageText("{1}的第一张工作表过大，已拒绝读取。", {named_}));
        }
    }

    Sheet Take() { return std::move(sheet_); }

private:
    static constexpr std::size_t kMaxSheetTextBytes = std::size_t{64} << 20;

    std::string named_;
    Sheet sheet_;
    std::size_t text_bytes_ = 0;
};

}  // namespace

Sheet ReadXlsxFirstSheet(const std::filesystem::path& file) {
    const std::string named = base::QuotedFileName(file);
    const bool has_data = CheckParts(file, named);
    SheetFiller filler(named);
    try {
        ReadXlsxRows(
            file,
            [&filler](int row, std::span<const ListCell> cells) { filler.AddRow(row, cells); }, {},
            CellEscapes::Keep);
    } catch (const SheetDamaged& e) {
        // The plan names the damage as it always has.
        throw base::Failure(
            base::MessageText("{1}已损坏（第一张工作表中{2}）。", {named, e.why()}));
    }
    if (!has_data)
        throw base::Failure(
            base::MessageText("{1}的第一张工作表缺少数据部分（sheetData），文件已损坏。", {named}));
    return filler.Take();
}

}  // namespace zorbix::office
