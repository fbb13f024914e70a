// Reading the first sheet of an .xls workbook through FreeXL, in a child
// process: FreeXL 1.0.6 reads past a buffer of its own and leaks memory on
// some damaged files, which must not take the program down with it.
#include <freexl.h>

#include <cstdint>
#include <cstring>
#include <map>

#include "base/error.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "office/isolated_run.h"
#include "office/sheet_reader.h"
#include "office/zip_archive.h"

namespace zorbix::office {
namespace {

using base::Failure;

// FreeXL holds a cell slot for every row and column a sheet declares: the
// declared sizes are checked before the cells are loaded, so a crafted file
// cannot make it claim gigabytes.
constexpr std::uint64_t kMaxDeclaredCells = 8'000'000;

// What the reading child may take beyond what it inherited. FreeXL takes 16
// bytes for every cell a sheet declares as soon as it opens the file, before
// the declared-size check can look, so this budget is what bounds a small
// file that declares millions of cells; the largest sheet the check lets
// through (128 MB of cells) still fits, and a real plan list needs a small
// part of it. Past the budget the file is refused, and the peak of reading
// any .xls stays under 256 MB.
constexpr std::uint64_t kReaderMemoryBudget = 192ull << 20;

// Closes a FreeXL handle however reading ends.
class XlsHandle {
public:
    XlsHandle(const std::filesystem::path& file, bool info_only, const std::string& named) {
        const int rc = info_only ? freexl_open_info(file.c_str(), &handle_)
                                 : freexl_open(file.c_str(), &handle_);
        if (rc != FREEXL_OK) {
            if (handle_) freexl_close(handle_);
            handle_ = nullptr;
            throw base::Failure(named + Reason(rc));
        }
        // FreeXL reports success without a handle when it could not allocate
        // the cells the sheets declare: within our memory budget that means
        // the file declares more than any plan list needs.
        if (!handle_) throw base::Failure(named + Reason(FREEXL_INSUFFICIENT_MEMORY));
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
            // The reader's memory is bounded by us: running out means the
            // file asks for more than any plan list needs.
            {FREEXL_INSUFFICIENT_MEMORY, "过大，已拒绝读取。"},
            {FREEXL_INVALID_CFBF_HEADER, "不是有效的Excel工作簿。"},
            {FREEXL_CRAFTED_FILE, "已严重损坏，已拒绝读取。"},
            {FREEXL_BIFF_WORKBOOK_NOT_FOUND, "中没有工作簿数据。"},
        };
        const auto it = kReasons.find(rc);
        if (it != kReasons.end()) return it->second;
        return base::MessageText("已损坏，无法读取（错误{1}）。", {std::to_string(rc)});
    }

private:
    const void* handle_ = nullptr;
};

void Check(int rc, const std::string& named) {
    if (rc != FREEXL_OK) throw base::Failure(named + XlsHandle::Reason(rc));
}

// Refuses a workbook whose sheets declare more cells than any plan list has.
void CheckDeclaredSize(const std::filesystem::path& file, const std::string& named) {
    const XlsHandle info(file, true, named);
    unsigned int sheets = 0;
    Check(freexl_get_info(info.get(), FREEXL_BIFF_SHEET_COUNT, &sheets), named);
    if (sheets == 0) throw base::Failure(base::MessageText("{1}中没有工作表。", {named}));
    std::uint64_t declared = 0;
    for (unsigned int s = 0; s < sheets; ++s) {
        unsigned int rows = 0;
        unsigned short columns = 0;
        if (freexl_select_active_worksheet(info.get(), static_cast<unsigned short>(s)) != FREEXL_OK)
            continue;
        if (freexl_worksheet_dimensions(info.get(), &rows, &columns) != FREEXL_OK) continue;
        declared += static_cast<std::uint64_t>(rows) * columns;
    }
    if (declared > kMaxDeclaredCells)
        throw base::Failure(base::MessageText("{1}的工作表过大，已拒绝读取。", {named}));
}

Cell ReadCell(const FreeXL_CellValue& value) {
    switch (value.type) {
        case FREEXL_CELL_INT: return Cell::FromNumber(value.value.int_value);
        case FREEXL_CELL_DOUBLE: return Cell::FromNumber(value.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return Cell::FromText(value.value.text_value ? value.value.text_value : "");
        default: return {};
    }
}

// The cells pass from the child as: row and column (int32 each), a kind
// byte, then a number (double) or a text (uint32 length and bytes).
template <typename T>
void PutRaw(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
bool TakeRaw(std::string_view& in, T& value) {
    if (in.size() < sizeof value) return false;
    std::memcpy(&value, in.data(), sizeof value);
    in.remove_prefix(sizeof value);
    return true;
}

void EncodeCell(std::string& out, std::uint32_t row, std::uint32_t column, const Cell& cell) {
    PutRaw(out, row);
    PutRaw(out, column);
    PutRaw(out, static_cast<std::uint8_t>(cell.kind == Cell::Kind::Number));
    if (cell.kind == Cell::Kind::Number) {
        PutRaw(out, cell.number);
        return;
    }
    PutRaw(out, static_cast<std::uint32_t>(cell.text.size()));
    out += cell.text;
}

// Runs in the child: every non-empty cell of the first sheet, encoded.
std::string ReadEncodedCells(const std::filesystem::path& file, const std::string& named) {
    CheckDeclaredSize(file, named);
    const XlsHandle xls(file, false, named);
    Check(freexl_select_active_worksheet(xls.get(), 0), named);
    unsigned int rows = 0;
    unsigned short columns = 0;
    Check(freexl_worksheet_dimensions(xls.get(), &rows, &columns), named);
    std::string out;
    std::size_t cells = 0;
    for (unsigned int r = 0; r < rows && r < static_cast<unsigned>(Sheet::kMaxRow); ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK) continue;
            const Cell cell = ReadCell(value);
            if (cell.IsEmpty()) continue;
            if (++cells > Sheet::kMaxCells)
                throw base::Failure(
                    base::MessageText("{1}的第一张工作表过大，已拒绝读取。", {named}));
            EncodeCell(out, r + 1, c + 1u, cell);
        }
    }
    return out;
}

Sheet DecodeCells(std::string_view in, const std::string& named) {
    Sheet sheet;
    while (!in.empty()) {
        std::uint32_t row = 0, column = 0, length = 0;
        std::uint8_t is_number = 0;
        double number = 0;
        if (!TakeRaw(in, row) || !TakeRaw(in, column) || !TakeRaw(in, is_number))
            throw base::Failure(base::MessageText("{1}读取时出错。", {named}));
        Cell cell;
        if (is_number) {
            if (!TakeRaw(in, number))
                throw base::Failure(base::MessageText("{1}读取时出错。", {named}));
            cell = Cell::FromNumber(number);
        } else {
            if (!TakeRaw(in, length) || in.size() < length)
                throw base::Failure(base::MessageText("{1}读取时出错。", {named}));
            cell = Cell::FromText(std::string(in.substr(0, length)));
            in.remove_prefix(length);
        }
        if (!sheet.Put(static_cast<int>(row), static_cast<int>(column), std::move(cell)))
            throw base::Failure(base::MessageText("{1}的第一张工作表过大，已拒绝读取。", {named}));
    }
    return sheet;
}

}  // namespace

Sheet ReadXlsFirstSheet(const std::filesystem::path& file) {
    const std::string named = base::QuotedFileName(file);
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) throw base::Failure(base::MessageText("找不到{1}。", {named}));
    if (size > kMaxPartBytes)
        throw base::Failure(base::MessageText("{1}过大，已拒绝读取。", {named}));
    const std::string cells =
        RunIsolated([&] { return ReadEncodedCells(file, named); },
                    {.crashed = base::MessageText(
                         "{1}已损坏，读取时出错，已拒绝读取。请用Excel打开并另存后再试。", {named}),
                     .out_of_memory = base::MessageText("{1}过大，已拒绝读取。", {named}),
                     .memory_budget = kReaderMemoryBudget});
    return DecodeCells(cells, named);
}

}  // namespace zorbix::office
