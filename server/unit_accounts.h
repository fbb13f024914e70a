// POST /api/units: the office makes the units' accounts in bulk from a
// workbook with the columns 单位名称 and 登录名 (headings in row 1, one
// unit per row below), each with a one-time password that must be changed
// at first login, and hands the passwords out as a workbook. A login name
// that exists already is listed as skipped and left as it is.
#pragma once

#include <string>
#include <vector>

#include "server/project_files.h"
#include "server/shared_store.h"

namespace zorbix::server {

struct UnitAccountRow {
    int row = 0;  // in the workbook, for messages
    std::string unit;
    std::string login;
};

// The rows of the uploaded workbook. Throws ApiError 400 with the reader's
// message for a file that is no workbook, or when a heading is missing;
// 422 naming the row for a row without unit or login name, a name the
// accounts refuse, or a login name given twice.
std::vector<UnitAccountRow> ReadUnitAccounts(const std::string& bytes);

struct MadeAccount {
    UnitAccountRow row;
    std::string password;  // the one-time password; "" for a skipped row
};

// Makes the accounts; a row whose login name exists is answered as
// skipped. When the store fails half-way, the accounts made so far are
// removed again (their passwords would be lost) and the failure passed on.
// `book`: the accounts on a long run's own connection, since every
// password is hashed with Argon2id, which takes its time.
std::vector<MadeAccount> MakeUnitAccounts(accounts::AccountBook& book,
                                          const std::vector<UnitAccountRow>& rows);

// Removes the accounts MakeUnitAccounts made (not the skipped ones).
void RemoveMadeAccounts(accounts::AccountBook& book, const std::vector<MadeAccount>& made);

// The workbook handed out: 单位名称, 登录名, 一次性密码, 说明 per row.
Download PasswordWorkbook(const std::vector<MadeAccount>& made);

}  // namespace zorbix::server
