// The change history of the stored projects: a table of its own beside
// kjxmzxqk, written by the record set in the same transaction as the
// change it records, so a line exists exactly when its change does.
//
// An edit of a stored record gives one line per changed column; adding a
// project and removing one give a single line naming the project (column
// empty, the project's name as the new or the old value). Databases made
// before the history existed get its table on their first write; the
// project table itself is never altered, so older copies of the program
// still read the file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/database.h"
#include "store/record.h"

namespace zorbix::store {

inline constexpr const char* kHistoryTable = "change_history";

// The operations that change records, as the history names them.
namespace operation {
inline constexpr std::string_view kTyping = "页面修改";
inline constexpr std::string_view kSet = "命令行修改";
inline constexpr std::string_view kAdd = "项目添加";
inline constexpr std::string_view kDelete = "项目删除";
inline constexpr std::string_view kInitialise = "数据初始化";
inline constexpr std::string_view kAppend = "追加数据";
inline constexpr std::string_view kImport = "导入项目表";
inline constexpr std::string_view kReplace = "采用新数据";
inline constexpr std::string_view kRestore = "恢复备份";
inline constexpr std::string_view kDemo = "示例项目";
}  // namespace operation

struct HistoryLine {
    std::string time;  // local time, "2013-12-05 14:30:12"
    std::string operation;
    std::string project;  // JB02 as it was after the change
    std::string column;   // "" for a line about the whole project
    std::string old_value;
    std::string new_value;
    std::string who;  // the database role or system user; "" in older lines
};

// Creates the history's table when missing, and its who column in a table
// made before it had one.
void CreateHistoryTable(Database& db);

class ChangeHistory {
public:
    explicit ChangeHistory(Database& db);
    ~ChangeHistory();

    // One line per column whose value differs between before and after; a
    // changed project number takes the project's earlier lines along.
    void LogEdit(std::string_view op, const Record& before, const Record& after);
    // One line for a project that came in, or went out, whole.
    void LogAdded(std::string_view op, const Record& row);
    void LogRemoved(std::string_view op, const Record& row);
    // One line per project now in the table, as removed or as added.
    void LogAllRemoved(std::string_view op);
    void LogAllAdded(std::string_view op);
    // One line about a project that is not a value of kjxmzxqk (where it
    // stands in the survey, kept beside the table): `column` names it.
    void LogNote(std::string_view op, std::string_view project, std::string_view column,
                 std::string_view old_value, std::string_view new_value);

    // Whom the lines written now name: the connection's user when "" (the
    // default), else the person a program acts for (an account of the
    // server, which reaches the store as one database user).
    const std::string& person() const { return person_; }
    void set_person(std::string person) { person_ = std::move(person); }

    // The lines about a project number (exact text), newest first.
    std::vector<HistoryLine> ForProject(std::string_view project);
    // The time of the newest line of every project number that has one.
    std::unordered_map<std::string, std::string> LastChangeTimes();

private:
    void Insert(std::string_view op, std::string_view project, std::string_view column,
                std::string_view old_value, std::string_view new_value);
    void InsertEveryProject(std::string_view op, bool removed);
    void MoveLines(std::string_view from, std::string_view to);
    // Creates the table when it is not there (first write, or its creation
    // was rolled back with the transaction that made it).
    void EnsureTable();
    bool HasTable();

    Database& db_;
    std::unique_ptr<Statement> insert_;
    // Who the lines name: person_, or the connection's user.
    const std::string& Who() const;

    std::string time_;  // of the lines being written, read once per second
    long long time_read_at_ = 0;
    std::string person_;
};

// Names the person the history's lines name while it lives; the previous
// one comes back afterwards.
class PersonLabel {
public:
    PersonLabel(ChangeHistory& history, std::string person)
        : history_(history), previous_(history.person()) {
        history_.set_person(std::move(person));
    }
    ~PersonLabel() { history_.set_person(previous_); }
    PersonLabel(const PersonLabel&) = delete;
    PersonLabel& operator=(const PersonLabel&) = delete;

private:
    ChangeHistory& history_;
    std::string previous_;
};

}  // namespace zorbix::store
