// The store's database on a PostgreSQL server, through libpq: what an
// office uses when several clerks work on one store at once. Statements are
// sent with their parameters in one round trip each and their rows come
// back whole, so a statement may be stepped while others run; scans read
// the table in blocks (store/project_rows.cpp).
//
// Other connections' changes to the project table reach this one as
// notifications (a trigger of the table sends them), read without a round
// trip whenever the record set moves.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/error.h"
#include "store/database.h"

struct pg_conn;
struct pg_result;

namespace zorbix::store {

// The channel the project table's trigger notifies on.
inline constexpr const char* kChangeChannel = "zorbix_projects";

class PostgresError : public base::Failure {
public:
    PostgresError(const std::string& message, std::string state)
        : base::Failure(message), state_(std::move(state)) {}
    // The SQLSTATE of the error ("40001", "23505", …); "" when the
    // connection failed.
    const std::string& state() const { return state_; }

private:
    std::string state_;
};

class PostgresDatabase : public Database {
public:
    // Connects with a libpq connection string or a postgresql:// URI. The
    // program directory keeps the store's backups. Throws Failure with the
    // user's message when the server cannot be reached or the database
    // cannot hold the survey's texts.
    PostgresDatabase(const std::string& url, const std::filesystem::path& directory);
    ~PostgresDatabase() override;

    Engine engine() const override { return Engine::Postgres; }
    void Execute(std::string_view sql) override;
    void ExecuteSoon(std::string_view sql) override;
    std::unique_ptr<StatementCursor> Prepare(std::string_view sql) override;
    bool IsAutocommit() const override;
    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;
    const std::filesystem::path& directory() const override { return directory_; }
    std::string Named() const override;
    const std::string& User() const override { return user_; }
    std::vector<ChangeNotice> TakeChangeNotices() override;
    bool IsConnectionLost() const override;

    // Starts hearing the project table's notifications.
    void Listen();
    // A connection the server broke (restarted, stopped a while) is made
    // anew before the next statement outside a transaction; while that
    // fails, statements fail with the message that the connection is lost.
    // Nothing is sent twice: a statement that failed stays failed.
    void RestoreConnection();
    // The other connections to the same database: "name (address)" each.
    std::vector<std::string> OtherSessions() override;
    const std::string& url() const { return url_; }
    pg_conn* handle() const { return conn_; }

    // Inside a transaction, statements that return no rows go to the server
    // in a pipeline without waiting for each answer: a bulk append costs a
    // round trip per few hundred rows, not per row. The next statement that
    // reads, or the commit, is sent after them and answered with them in
    // one round trip; the first failure among them is thrown.
    using Parameters = std::vector<std::optional<std::string>>;
    bool CanDefer() const { return in_transaction_; }
    void Defer(const std::string& sql, const Parameters& parameters);
    void Flush();
    // The statement's result, owned by the caller (nullptr when libpq has
    // none). After statements still waiting in the pipeline it is sent with
    // them, and their failure is thrown; on its own it is sent as a
    // prepared statement, so that the server parses and plans a text the
    // connection sends again only once.
    pg_result* Ask(const std::string& sql, const Parameters& parameters);

    // Throws PostgresError with what the server said after `what`.
    [[noreturn]] void Fail(std::string_view what, const std::string& state,
                           std::string_view detail) const;

private:
    pg_conn* conn_ = nullptr;
    std::string url_;
    std::filesystem::path directory_;
    std::string user_;
    std::string name_;
    bool listening_ = false;
    bool lost_notices_ = false;
    bool in_transaction_ = false;  // opened by Begin
    int deferred_ = 0;             // statements sent and not yet answered
    // The pipeline's statements, parsed and planned once per connection:
    // the text of each and the name it was prepared under. Names are never
    // reused, so forgetting them all after a failure is always safe.
    std::unordered_map<std::string, std::string> prepared_;
    int prepared_names_ = 0;

    // Sends a statement into the pipeline, which it enters when needed;
    // `reuse` prepares the text once for the connection's later sends.
    void Send(const std::string& sql, const Parameters& parameters, bool reuse);
    // Ends the pipeline and reads its answers; throws the first failure.
    // `keep_last`: answers the last statement's result, owned by the caller.
    pg_result* Collect(bool keep_last);
    // The name the text is prepared under in the pipeline, nullptr when no
    // more texts are kept.
    const char* PreparedName(const std::string& sql, int parameters);
    // The same, prepared at once; nullptr also when the server refused it
    // (the unnamed statement then tells why).
    const char* PreparedNow(const std::string& sql, int parameters);
};

// "postgresql://…" or a connection string with "key=value" in it: what
// --database takes; anything else is no database address.
bool LooksLikeDatabaseUrl(std::string_view text);

}  // namespace zorbix::store
