#include "accounts/review_notes.h"

namespace zorbix::accounts {
namespace {

// The comment on the project as a whole stands under no column name.
constexpr std::string_view kWholeProject = "";

std::map<std::string, std::string> Lines(store::Database& db, const char* sql,
                                         std::string_view project) {
    store::Statement select(db, sql);
    select.Bind(1, project);
    std::map<std::string, std::string> lines;
    while (select.Step()) lines.emplace(select.Text(0), select.Text(1));
    return lines;
}

void InsertLines(store::Database& db, const char* sql, std::string_view project,
                 const std::map<std::string, std::string>& lines) {
    store::Statement insert(db, sql);
    for (const auto& [column, text] : lines) {
        insert.Bind(1, project);
        insert.Bind(2, column);
        insert.Bind(3, text);
        insert.Run();
    }
}

}  // namespace

ReviewComments ReviewNotes::CommentsOf(std::string_view project) {
    auto lines =
        Lines(db_, "SELECT column_name, comment FROM review_comments WHERE project = ?1", project);
    ReviewComments comments;
    if (const auto whole = lines.find(std::string(kWholeProject)); whole != lines.end()) {
        comments.project = whole->second;
        lines.erase(whole);
    }
    comments.fields = std::move(lines);
    return comments;
}

void ReviewNotes::SetComments(std::string_view project, const ReviewComments& comments) {
    Clear("review_comments", project);
    auto lines = comments.fields;
    lines[std::string(kWholeProject)] = comments.project;
    InsertLines(db_,
                "INSERT INTO review_comments (project, column_name, comment) VALUES (?1, ?2, ?3)",
                project, lines);
}

std::map<std::string, std::string> ReviewNotes::ValuesAtReturn(std::string_view project) {
    return Lines(db_, "SELECT column_name, value FROM values_at_return WHERE project = ?1",
                 project);
}

void ReviewNotes::SetValuesAtReturn(std::string_view project,
                                    const std::map<std::string, std::string>& values) {
    Clear("values_at_return", project);
    InsertLines(db_,
                "INSERT INTO values_at_return (project, column_name, value) VALUES (?1, ?2, ?3)",
                project, values);
}

void ReviewNotes::Clear(const char* table, std::string_view project) {
    store::Statement remove(db_, std::string("DELETE FROM ") + table + " WHERE project = ?1");
    remove.Bind(1, project);
    remove.Run();
}

}  // namespace zorbix::accounts
