#include "lists/list_workbook.h"

#include <xlsxwriter.h>

#include "base/atomic_file.h"
#include "base/error.h"
#include "base/file_names.h"
#include "lists/cell_text.h"
#include "office/xlsx_cell_writer.h"

namespace zorbix::lists {

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int more = 0;
        char32_t code = c;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0)
            more = 1, code = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            more = 2, code = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            more = 3, code = c & 0x07;
        else
            return false;
        if (i + more >= text.size()) return false;
        for (int k = 1; k <= more; ++k) {
            const auto d = static_cast<unsigned char>(text[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            code = (code << 6) | (d & 0x3F);
        }
        constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

ListWorkbook::ListWorkbook(const std::filesystem::path& target)
    : target_(target), temporary_(base::TemporaryBeside(target)) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    // Without zip64 records: libzip, and with it our readers, refuse
    // libxlsxwriter's zip64 directory. A list stays far below 4 GB.
    options.use_zip64 = LXW_FALSE;
    const std::string folder =
        target.parent_path().empty() ? std::string(".") : target.parent_path().string();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        throw base::Failure("文件夹“" + folder + "”不存在，" + base::QuotedFileName(target) +
                            "没有写入。");
    // The row files lie beside the target, not in a /tmp that may be memory.
    std::string tmpdir = folder;
    options.tmpdir = tmpdir.data();
    workbook_ = workbook_new_opt(temporary_.c_str(), &options);
    if (!workbook_)
        throw base::Failure("无法写入" + base::QuotedFileName(target) + "：无法建立工作簿。");
    text_ = workbook_add_format(workbook_);
    format_set_num_format(text_, "@");
    heading_ = workbook_add_format(workbook_);
    format_set_bold(heading_);
    format_set_num_format(heading_, "@");
}

ListWorkbook::~ListWorkbook() {
    if (!workbook_) return;
    // Nothing reaches the target: the unfinished file is written and removed.
    workbook_close(workbook_);
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

void ListWorkbook::AddSheet(std::string_view name) {
    sheet_ = workbook_add_worksheet(workbook_, std::string(name).c_str());
    if (!sheet_)
        throw base::Failure("无法写入" + base::QuotedFileName(target_) + "：无法建立工作表。");
}

void ListWorkbook::SetWidth(int column, double width, bool text) {
    // A text column's style makes what the user types there text ("007"
    // stays 007); the written cells carry no style of their own, which
    // keeps a sheet of many cells small.
    worksheet_set_column(sheet_, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column),
                         width, text ? text_ : nullptr);
}

void ListWorkbook::FreezeAt(int row, int column) {
    worksheet_freeze_panes(sheet_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column));
}

void ListWorkbook::AutoFilter(int first_row, int last_row, int last_column) {
    worksheet_autofilter(sheet_, static_cast<lxw_row_t>(first_row), 0,
                         static_cast<lxw_row_t>(last_row), static_cast<lxw_col_t>(last_column));
}

void ListWorkbook::Text(int row, int column, std::string_view text) {
    if (text.empty()) return;
    if (!IsUtf8(text))
        throw base::Failure(office::ColumnLetters(column + 1) + std::to_string(row + 1) +
                            "单元格的内容不是有效的UTF-8文字。");
    const std::string kept = KeepLiteralEscapes(text);
    Check(worksheet_write_string(sheet_, static_cast<lxw_row_t>(row),
                                 static_cast<lxw_col_t>(column), kept.c_str(), nullptr),
          row, column);
}

void ListWorkbook::Heading(int row, int column, std::string_view text) {
    const std::string kept = KeepLiteralEscapes(text);
    Check(worksheet_write_string(sheet_, static_cast<lxw_row_t>(row),
                                 static_cast<lxw_col_t>(column), kept.c_str(), heading_),
          row, column);
}

void ListWorkbook::Number(int row, int column, double value) {
    Check(worksheet_write_number(sheet_, static_cast<lxw_row_t>(row),
                                 static_cast<lxw_col_t>(column), value, nullptr),
          row, column);
}

void ListWorkbook::Check(int error, int row, int column) const {
    if (error == LXW_NO_ERROR) return;
    const std::string cell = office::ColumnLetters(column + 1) + std::to_string(row + 1);
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        throw base::Failure(cell + "单元格的文字超过32767个字符，工作簿的单元格放不下。");
    throw base::Failure("无法写入" + base::QuotedFileName(target_) + "（" + cell + "单元格：" +
                        lxw_strerror(static_cast<lxw_error>(error)) + "）。");
}

void ListWorkbook::Close() {
    lxw_workbook* workbook = workbook_;
    workbook_ = nullptr;
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        throw base::Failure("无法写入" + base::QuotedFileName(target_) + "：" +
                            lxw_strerror(error) + "。");
    }
    base::CommitTemporary(temporary_, target_);
}

}  // namespace zorbix::lists
