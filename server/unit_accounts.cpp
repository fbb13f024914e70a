#include "server/unit_accounts.h"

#include <fstream>
#include <iterator>
#include <set>

#include "accounts/account_creation.h"
#include "base/message_text.h"
#include "office/list_workbook.h"
#include "office/sheet_reader.h"
#include "server/api_error.h"
#include "server/download_name.h"
#include "server/plan_texts.h"
#include "server/scratch_folder.h"

namespace zorbix::server {
namespace {

constexpr const char* kUnitHeading = "单位名称";
constexpr const char* kLoginHeading = "登录名";
constexpr const char* kXlsxType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
constexpr std::string_view kSkipped = "登录名已存在，账户未更改";

std::string FileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

office::Sheet ReadUpload(const std::string& bytes) {
    const ScratchFolder scratch;
    const auto file = scratch.path() / "单位.xlsx";
    // A copy cut short by a full disk must not be taken for a broken upload.
    scratch.RequireRoom("接收上传的文件");
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    try {
        return office::ReadFirstSheet(file);
    } catch (const base::Failure& failure) {
        scratch.RequireRoom("接收上传的文件");
        std::string message = failure.what();
        const std::string path = file.string();
        for (auto at = message.find(path); at != std::string::npos; at = message.find(path))
            message.replace(at, path.size(), "上传的单位表");
        BadInput(message);
    }
}

int HeadingColumn(const office::Sheet& sheet, std::string_view heading) {
    for (int column = 1; column <= office::Sheet::kMaxColumn; ++column) {
        const office::Cell& cell = sheet.At(1, column);
        if (Trimmed(cell.text) == heading) return column;
        if (cell.IsEmpty() && column > 64) break;
    }
    BadInput("单位表第1行须有“单位名称”和“登录名”两列的表头。");
}

[[noreturn]] void RefuseRow(int row, const std::string& why) {
    throw ApiError(
        422, base::MessageText("单位表第{1}行：{2}没有建立任何账户。", {std::to_string(row), why}));
}

void CheckRow(const UnitAccountRow& r, std::set<std::string>& logins) {
    if (r.unit.empty()) RefuseRow(r.row, "缺少单位名称。");
    if (r.login.empty()) RefuseRow(r.row, "缺少登录名。");
    if (const auto problem = accounts::NameProblem("单位名称", r.unit)) RefuseRow(r.row, *problem);
    if (const auto problem = accounts::NameProblem("登录名", r.login)) RefuseRow(r.row, *problem);
    if (!logins.insert(r.login).second) RefuseRow(r.row, "登录名“" + r.login + "”在表中重复。");
}

}  // namespace

std::vector<UnitAccountRow> ReadUnitAccounts(const std::string& bytes) {
    const office::Sheet sheet = ReadUpload(bytes);
    const int unit_column = HeadingColumn(sheet, kUnitHeading);
    const int login_column = HeadingColumn(sheet, kLoginHeading);
    std::vector<UnitAccountRow> rows;
    std::set<std::string> logins;
    for (int row = 2; row <= sheet.LastRow(); ++row) {
        UnitAccountRow r{row, Trimmed(sheet.At(row, unit_column).text),
                         Trimmed(sheet.At(row, login_column).text)};
        if (r.unit.empty() && r.login.empty()) continue;
        CheckRow(r, logins);
        rows.push_back(std::move(r));
    }
    if (rows.empty()) BadInput("单位表中没有单位（第1行为表头，从第2行起每行一个单位）。");
    return rows;
}

std::vector<MadeAccount> MakeUnitAccounts(accounts::AccountBook& book,
                                          const std::vector<UnitAccountRow>& rows) {
    std::vector<MadeAccount> made;
    try {
        for (const UnitAccountRow& r : rows) {
            if (book.Find(r.login)) {
                made.push_back({r, ""});
                continue;
            }
            made.push_back({r, accounts::CreateAccount(
                                   book, {r.login, accounts::Role::Unit, r.unit, std::nullopt})});
        }
    } catch (...) {
        RemoveMadeAccounts(book, made);
        throw;
    }
    return made;
}

void RemoveMadeAccounts(accounts::AccountBook& book, const std::vector<MadeAccount>& made) {
    for (const MadeAccount& m : made)
        if (!m.password.empty()) book.Remove(m.row.login);
}

Download PasswordWorkbook(const std::vector<MadeAccount>& made) {
    const ScratchFolder scratch;
    const auto file = scratch.path() / "passwords.xlsx";
    scratch.RequireRoom("生成一次性密码表");
    office::ListWorkbook workbook(file);
    workbook.AddSheet("一次性密码");
    const double widths[] = {30, 20, 20, 28};
    for (int column = 0; column < 4; ++column) workbook.SetWidth(column, widths[column], true);
    const char* headings[] = {kUnitHeading, kLoginHeading, "一次性密码", "说明"};
    for (int column = 0; column < 4; ++column) workbook.Heading(0, column, headings[column]);
    int row = 1;
    for (const MadeAccount& m : made) {
        workbook.Text(row, 0, m.row.unit);
        workbook.Text(row, 1, m.row.login);
        workbook.Text(row, 2, m.password);
        workbook.Text(row, 3, m.password.empty() ? kSkipped : "首次登录后须修改密码");
        ++row;
    }
    workbook.Close();
    return {FileBytes(file), kXlsxType, AttachmentDisposition("单位账户一次性密码", ".xlsx")};
}

}  // namespace zorbix::server
