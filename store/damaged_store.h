// A store whose database file turns out to be damaged: the message that
// names the file and leads to its backups, and the way back (a backup put
// in its place while the damaged file is kept aside under a name that says
// what it is, never deleted).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "base/error.h"

namespace zorbix::store {

// Raised wherever the store meets damage: at opening, in an operation, when
// a backup of it is made. what() is the whole message for the user.
class StoreDamaged : public base::Failure {
public:
    using base::Failure::Failure;
};

// After a survey failure message that shows no reason of its own ("数据定位
// 失败！…"): the damaged store's message on a line of its own when that is
// what went wrong, so the user is led to the backups; "" for any other
// failure.
std::string DamageNote(const base::Failure& failure);

// "数据库文件“F”已经损坏（detail）。" followed by how to restore a backup, in
// the window and in the batch tool. `detail` is what the database said; it
// is never the whole message.
// A file that SQLite cannot take as a database at all is named "不是本程序的
// 数据库文件，或者已经损坏" instead (`not_a_database`).
std::string DamagedStoreMessage(const std::filesystem::path& file, std::string_view detail,
                                bool not_a_database = false);

// The name a damaged store is kept under: "zorbix2013-已损坏-20261210-151200.db"
// beside it (with "-2", "-3" … when that name is taken).
std::filesystem::path DamagedStoreName(const std::filesystem::path& file);

}  // namespace zorbix::store
