#include "office/list_workbook.h"

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/protected_targets.h"
#include "base/utf8.h"
#include "office/cell_text.h"
#include "office/sheet_limits.h"
#include "office/workbook_parts.h"
#include "office/zip_archive.h"

namespace zorbix::office {

namespace {

// The deflate level of the sheets: the fastest, as deflating a list of
// 32767 projects is still almost half of its export at this level.
constexpr int kSheetLevel = 1;

// The text as a cell keeps it; fails when a cell cannot hold it.
std::string CellText(std::string_view text, int row, int column) {
    std::string kept = KeepLiteralEscapes(text);
    if (base::CharacterCount(kept) > kMaxCellCharacters)
        throw base::Failure(CellName(row, column) +
                            "单元格的文字超过32767个字符，工作簿的单元格放不下。");
    return kept;
}

}  // namespace

ListWorkbook::ListWorkbook(const std::filesystem::path& target) : target_(target) {
    base::RefuseProtectedTarget(target);
    const std::string folder =
        target.parent_path().empty() ? std::string(".") : target.parent_path().string();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        throw base::Failure(base::MessageText("文件夹“{1}”不存在，{2}没有写入。",
                                              {folder, base::QuotedFileName(target)}));
}

ListWorkbook::~ListWorkbook() { RemoveSheetFiles(); }

void ListWorkbook::RemoveSheetFiles() {
    // The sheets' files lie beside the target, not in a /tmp that may be
    // memory; none of them stays, written or not.
    for (auto& sheet : sheets_) {
        const std::filesystem::path file = sheet->file();
        sheet.reset();
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
    }
    sheets_.clear();
}

SheetXml& ListWorkbook::Sheet() { return *sheets_.back(); }

void ListWorkbook::AddSheet(std::string_view name) {
    sheets_.push_back(std::make_unique<SheetXml>(base::TemporaryBeside(target_), sheets_.empty()));
    names_.emplace_back(name);
}

void ListWorkbook::SetWidth(int column, double width, bool text) {
    // A text column's style makes what the user types there text ("007"
    // stays 007).
    Sheet().SetWidth(column, width, text ? CellStyle::Text : CellStyle::Plain);
}

void ListWorkbook::FreezeAt(int row, int column) { Sheet().FreezeAt(row, column); }

void ListWorkbook::PrintLayout(int rows, int columns) { Sheet().PrintLayout(rows, columns); }

void ListWorkbook::AutoFilter(int first_row, int last_row, int last_column) {
    Sheet().AutoFilter(first_row, last_row, last_column);
}

void ListWorkbook::Text(int row, int column, std::string_view text) {
    if (text.empty()) return;
    if (!base::IsUtf8(text))
        throw base::Failure(
            base::MessageText("{1}单元格的内容不是有效的UTF-8文字。", {CellName(row, column)}));
    Sheet().Text(row, column, CellText(text, row, column), CellStyle::Plain);
}

void ListWorkbook::Heading(int row, int column, std::string_view text) {
    Sheet().Text(row, column, CellText(text, row, column), CellStyle::Heading);
}

void ListWorkbook::Number(int row, int column, double value) { Sheet().Number(row, column, value); }

void ListWorkbook::Close() {
    std::vector<SheetEntry> entries;
    std::vector<office::ZipFilePart> files;
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        sheets_[i]->Finish(target_);
        entries.push_back(
            {names_[i], sheets_[i]->FilterRange(names_[i]), sheets_[i]->PrintTitles(names_[i])});
        files.push_back({"xl/worksheets/sheet" + std::to_string(i + 1) + ".xml", sheets_[i]->file(),
                         kSheetLevel});
    }
    try {
        office::WriteZip(target_, WorkbookParts(entries), files);
    } catch (...) {
        RemoveSheetFiles();
        throw;
    }
    RemoveSheetFiles();
}

}  // namespace zorbix::office
