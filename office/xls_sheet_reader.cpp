// Reading the first sheet of an .xls workbook through FreeXL.
#include <freexl.h>

#include <cstdint>
#include <map>

#include "office/sheet_reader.h"
#include "office/zip_archive.h"
#include "store/error.h"

namespace zorbix::office {
namespace {

using store::Failure;

// FreeXL holds a cell slot for every row and column a sheet declares: the
// declared sizes are checked before the cells are loaded, so a crafted file
// cannot make it claim gigabytes.
constexpr std::uint64_t kMaxDeclaredCells = 8'000'000;

// Closes a FreeXL handle however reading ends.
class XlsHandle {
  public:
    XlsHandle(const std::filesystem::path& file, bool info_only, const std::string& named) {
        const int rc = info_only ? freexl_open_info(file.c_str(), &handle_)
                                 : freexl_open(file.c_str(), &handle_);
        if (rc != FREEXL_OK) {
            if (handle_) freexl_close(handle_);
            handle_ = nullptr;
            throw Failure(named + Reason(rc));
        }
    }
    ~XlsHandle() {
        if (handle_) freexl_close(handle_);
    }
    XlsHandle(const XlsHandle&) = delete;
    XlsHandle& operator=(const XlsHandle&) = delete;
    const void* get() const { return handle_; }

    static std::string Reason(int rc) {
        static const std::map<int, std::string> kReasons = {
            {FREEXL_FILE_NOT_FOUND, "无法打开。"},
            {FREEXL_INSUFFICIENT_MEMORY, "无法读取：内存不足。"},
            {FREEXL_INVALID_CFBF_HEADER, "不是有效的Excel工作簿。"},
            {FREEXL_CRAFTED_FILE, "已严重损坏，已拒绝读取。"},
            {FREEXL_BIFF_WORKBOOK_NOT_FOUND, "中没有工作簿数据。"},
        };
        const auto it = kReasons.find(rc);
        if (it != kReasons.end()) return it->second;
        return "已损坏，无法读取（错误" + std::to_string(rc) + "）。";
    }

  private:
    const void* handle_ = nullptr;
};

void Check(int rc, const std::string& named) {
    if (rc != FREEXL_OK) throw Failure(named + XlsHandle::Reason(rc));
}

// Refuses a workbook whose sheets declare more cells than any plan list has.
void CheckDeclaredSize(const std::filesystem::path& file, const std::string& named) {
    const XlsHandle info(file, true, named);
    unsigned int sheets = 0;
    Check(freexl_get_info(info.get(), FREEXL_BIFF_SHEET_COUNT, &sheets), named);
    if (sheets == 0) throw Failure(named + "中没有工作表。");
    std::uint64_t declared = 0;
    for (unsigned int s = 0; s < sheets; ++s) {
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(info.get(), static_cast<unsigned short>(s)) != FREEXL_OK)
            continue;
        if (freexl_worksheet_dimensions(info.get(), &rows, &columns) != FREEXL_OK) continue;
        declared += static_cast<std::uint64_t>(rows) * columns;
    }
    if (declared > kMaxDeclaredCells) throw Failure(named + "的工作表过大，已拒绝读取。");
}

Cell ReadCell(const FreeXL_CellValue& value) {
    switch (value.type) {
        case FREEXL_CELL_INT:
            return Cell::FromNumber(value.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return Cell::FromNumber(value.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return Cell::FromText(value.value.text_value ? value.value.text_value : "");
        default:
            return {};
    }
}

}  // namespace

Sheet ReadXlsFirstSheet(const std::filesystem::path& file) {
    const std::string named = "文件“" + file.string() + "”";
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) throw Failure("找不到" + named + "。");
    if (size > kMaxPartBytes) throw Failure(named + "过大，已拒绝读取。");
    CheckDeclaredSize(file, named);

    const XlsHandle xls(file, false, named);
    Check(freexl_select_active_worksheet(xls.get(), 0), named);
    unsigned int rows = 0;
    unsigned short columns = 0;
    Check(freexl_worksheet_dimensions(xls.get(), &rows, &columns), named);
    Sheet sheet;
    for (unsigned int r = 0; r < rows && r < static_cast<unsigned>(Sheet::kMaxRow); ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK) continue;
            Cell cell = ReadCell(value);
            if (cell.IsEmpty()) continue;
            if (!sheet.Put(static_cast<int>(r) + 1, c + 1, std::move(cell)))
                throw Failure(named + "的第一张工作表过大，已拒绝读取。");
        }
    }
    return sheet;
}

}  // namespace zorbix::office
