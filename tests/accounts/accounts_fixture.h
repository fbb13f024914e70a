// A fresh store database with the server tables, and a clock the test sets.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "accounts/clock.h"
#include "accounts/server_tables.h"
#include "store/sqlite_db.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_database.h"

namespace zorbix::testing {

class AccountsFixture : public ::testing::Test {
protected:
    AccountsFixture() { accounts::CreateServerTables(db_); }

    accounts::Clock clock() {
        return [this] { return now_; };
    }

    TempDir dir_;
    std::unique_ptr<store::Database> opened_ = OpenTestDatabase(dir_.path());
    store::Database& db_ = *opened_;
    std::int64_t now_ = 1'700'000'000;
};

}  // namespace zorbix::testing
