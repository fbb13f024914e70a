#include "store/postgres_db.h"

#include <libpq-fe.h>

#include <charconv>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/message_text.h"

namespace zorbix::store {
namespace {

std::string Trimmed(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

// The statement with "?n" and "?" parameters written as PostgreSQL's "$n";
// texts in quotes stay as they are.
std::string PostgresParameters(std::string_view sql) {
    std::string out;
    out.reserve(sql.size() + 16);
    int next = 1;
    char quote = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            if (c == quote) quote = 0;
            out += c;
            continue;
        }
        if (c == '\'' || c == '"') quote = c;
        if (c != '?') {
            out += c;
            continue;
        }
        std::size_t end = i + 1;
        while (end < sql.size() && sql[end] >= '0' && sql[end] <= '9') ++end;
        out += '$';
        out += end > i + 1 ? std::string(sql.substr(i + 1, end - i - 1)) : std::to_string(next);
        ++next;
        i = end - 1;
    }
    return out;
}

// One result of the server, cleared when it goes.
struct Result {
    PGresult* result = nullptr;
    Result() = default;
    explicit Result(PGresult* r) : result(r) {}
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    ~Result() { PQclear(result); }
    void Reset(PGresult* r) {
        PQclear(result);
        result = r;
    }
};

// The parameters as libpq takes them: a pointer (null for NULL) and a
// length each.
struct Wire {
    explicit Wire(const PostgresDatabase::Parameters& parameters) {
        for (const auto& p : parameters) {
            values.push_back(p ? p->data() : nullptr);
            lengths.push_back(p ? static_cast<int>(p->size()) : 0);
        }
    }
    int count() const { return static_cast<int>(values.size()); }

    std::vector<const char*> values;
    std::vector<int> lengths;
};

bool Succeeded(const PGresult* result) {
    const auto status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

class PostgresCursor : public StatementCursor {
public:
    PostgresCursor(PostgresDatabase& db, std::string_view sql)
        : db_(db), sql_(PostgresParameters(sql)) {}

    void Bind(int index, std::string_view text, bool) override { Slot(index) = std::string(text); }
    void Bind(int index, std::int64_t value) override { Slot(index) = std::to_string(value); }

    bool Step() override {
        if (!result_.result) Execute();
        return ++row_ < PQntuples(result_.result);
    }

    void Reset() override {
        result_.Reset(nullptr);
        row_ = -1;
        for (auto& p : parameters_) p.reset();
    }

    std::string_view Text(int column) const override {
        if (PQgetisnull(result_.result, row_, column)) return {};
        return {PQgetvalue(result_.result, row_, column),
                static_cast<std::size_t>(PQgetlength(result_.result, row_, column))};
    }

    std::int64_t Int(int column) const override {
        const std::string_view text = Text(column);
        std::int64_t value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    }

    std::int64_t Changes() const override { return changes_; }

    void Run() override {
        if (!db_.CanDefer()) {
            Step();
            Reset();
            return;
        }
        db_.Defer(sql_, parameters_);
        Reset();
    }

private:
    std::optional<std::string>& Slot(int index) {
        if (index > static_cast<int>(parameters_.size())) parameters_.resize(index);
        return parameters_[index - 1];
    }

    void Execute() {
        result_.Reset(db_.Ask(sql_, parameters_));
        row_ = -1;
        if (!Succeeded(result_.result)) {
            const char* state = PQresultErrorField(result_.result, PG_DIAG_SQLSTATE);
            const std::string detail = Trimmed(PQresultErrorMessage(result_.result));
            result_.Reset(nullptr);
            db_.Fail("数据库读写失败", state ? state : "", detail);
        }
        const char* changed = PQcmdTuples(result_.result);
        changes_ = changed && *changed ? std::atoll(changed) : 0;
    }

    PostgresDatabase& db_;
    std::string sql_;
    std::vector<std::optional<std::string>> parameters_;
    Result result_;
    int row_ = -1;
    std::int64_t changes_ = 0;
};

std::string Setting(pg_conn* conn, const char* name) {
    const char* value = PQparameterStatus(conn, name);
    return value ? value : "";
}

}  // namespace

bool LooksLikeDatabaseUrl(std::string_view text) {
    return text.starts_with("postgresql://") || text.starts_with("postgres://") ||
           text.find('=') != std::string_view::npos;
}

PostgresDatabase::PostgresDatabase(const std::string& url, const std::filesystem::path& directory)
    : url_(url), directory_(std::filesystem::absolute(directory)) {
    conn_ = PQconnectdb(url.c_str());
    if (PQstatus(conn_) != CONNECTION_OK) {
        const std::string detail = Trimmed(PQerrorMessage(conn_));
        PQfinish(conn_);
        conn_ = nullptr;
        throw PostgresError(base::MessageText("无法连接数据库服务器（{1}）。请检查 --database "
                                              "给出的地址、用户名和密码，以及服务器是否在运行。",
                                              {detail}),
                            "");
    }
    name_ = PQdb(conn_);
    user_ = PQuser(conn_);
    if (PQsetClientEncoding(conn_, "UTF8") != 0)
        Fail("数据库无法使用UTF-8编码", "", Trimmed(PQerrorMessage(conn_)));
    const std::string encoding = Setting(conn_, "server_encoding");
    if (encoding != "UTF8") {
        const std::string message = base::MessageText(
            "{1}的编码是{2}，无法保存项目的中文内容。请用 ENCODING 'UTF8' 新建数据库。",
            {Named(), encoding});
        PQfinish(conn_);
        conn_ = nullptr;
        throw base::Failure(message);
    }
    // Quiet: notices of "already exists" and the like are nobody's business.
    Execute("SET client_min_messages = warning");
}

PostgresDatabase::~PostgresDatabase() {
    if (!conn_) return;
    Rollback();
    PQfinish(conn_);
}

std::string PostgresDatabase::Named() const { return "数据库“" + name_ + "”"; }

void PostgresDatabase::Fail(std::string_view what, const std::string& state,
                            std::string_view detail) const {
    // libpq's words for a lost connection ("server closed the connection
    // unexpectedly", or none at all while the server is down) tell the
    // user nothing the message does not.
    if (PQstatus(conn_) != CONNECTION_OK)
        throw PostgresError(base::MessageText("与数据库服务器的连接已经断开，{1}。服务器"
                                              "恢复后程序会自动重新连接，请稍后再试。",
                                              {what}),
                            "");
    throw PostgresError(base::MessageText("{1}（{2}）", {what, detail}), state);
}

bool PostgresDatabase::IsConnectionLost() const {
    return conn_ && PQstatus(conn_) != CONNECTION_OK;
}

void PostgresDatabase::RestoreConnection() {
    if (!conn_ || PQstatus(conn_) == CONNECTION_OK || in_transaction_ || deferred_ > 0) return;
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) return;
    // A new session: nothing prepared, nothing heard, settings as new.
    prepared_.clear();
    PQsetClientEncoding(conn_, "UTF8");
    PQclear(PQexec(conn_, "SET client_min_messages = warning"));
    if (listening_) {
        PQclear(PQexec(conn_, (std::string("LISTEN ") + kChangeChannel).c_str()));
        lost_notices_ = true;
    }
}

void PostgresDatabase::Execute(std::string_view sql) {
    RestoreConnection();
    // One statement after waiting ones (a savepoint's release, the commit)
    // shares their round trip; a script of several goes on its own.
    if (deferred_ > 0 && sql.find(';') == std::string_view::npos) {
        Send(std::string(sql), {}, false);
        Collect(false);
        return;
    }
    Result result(PQexec(conn_, std::string(sql).c_str()));
    if (!Succeeded(result.result)) {
        const char* state = PQresultErrorField(result.result, PG_DIAG_SQLSTATE);
        Fail("数据库操作失败", state ? state : "", Trimmed(PQresultErrorMessage(result.result)));
    }
}

void PostgresDatabase::ExecuteSoon(std::string_view sql) {
    if (!CanDefer()) return Execute(sql);
    Send(std::string(sql), {}, false);
}

std::unique_ptr<StatementCursor> PostgresDatabase::Prepare(std::string_view sql) {
    RestoreConnection();
    return std::make_unique<PostgresCursor>(*this, sql);
}

bool PostgresDatabase::IsAutocommit() const {
    return !in_transaction_ && PQtransactionStatus(conn_) == PQTRANS_IDLE;
}

void PostgresDatabase::Begin() {
    RestoreConnection();
    Flush();
    // Sent on with what follows: a failure is told by the next statement.
    Send("BEGIN", {}, false);
    in_transaction_ = true;
}

void PostgresDatabase::Commit() {
    in_transaction_ = false;
    try {
        Execute("COMMIT");
    } catch (...) {
        // A failure before the commit leaves the transaction open, aborted.
        Rollback();
        throw;
    }
}

void PostgresDatabase::Rollback() noexcept {
    in_transaction_ = false;
    try {
        Flush();
    } catch (const base::Failure&) {
        // The failure is why the transaction ends; it was told already.
    }
    if (PQtransactionStatus(conn_) == PQTRANS_IDLE) return;
    PQclear(PQexec(conn_, "ROLLBACK"));
}

namespace {
// Answers between two collections: bounded, so neither side's buffers fill.
constexpr int kMostDeferred = 256;
}  // namespace

void PostgresDatabase::Defer(const std::string& sql, const Parameters& parameters) {
    Send(sql, parameters, true);
    if (deferred_ >= kMostDeferred) Flush();
}

void PostgresDatabase::Send(const std::string& sql, const Parameters& parameters, bool reuse) {
    if (deferred_ == 0 && PQenterPipelineMode(conn_) != 1)
        Fail("数据库读写失败", "", Trimmed(PQerrorMessage(conn_)));
    const Wire wire(parameters);
    const int count = wire.count();
    const char* name = reuse ? PreparedName(sql, count) : nullptr;
    ++deferred_;
    const int sent = name ? PQsendQueryPrepared(conn_, name, count, wire.values.data(),
                                                wire.lengths.data(), nullptr, 0)
                          : PQsendQueryParams(conn_, sql.c_str(), count, nullptr,
                                              wire.values.data(), wire.lengths.data(), nullptr, 0);
    if (sent != 1) {
        const std::string detail = Trimmed(PQerrorMessage(conn_));
        Flush();
        Fail("数据库读写失败", "", detail);
    }
}

pg_result* PostgresDatabase::Ask(const std::string& sql, const Parameters& parameters) {
    if (deferred_ > 0) {
        Send(sql, parameters, true);
        return Collect(true);
    }
    const Wire wire(parameters);
    const int count = wire.count();
    if (const char* name = PreparedNow(sql, count))
        return PQexecPrepared(conn_, name, count, wire.values.data(), wire.lengths.data(), nullptr,
                              0);
    return PQexecParams(conn_, sql.c_str(), count, nullptr, wire.values.data(), wire.lengths.data(),
                        nullptr, 0);
}

namespace {
// Texts kept prepared per connection: the server's calls use a few dozen.
constexpr std::size_t kMostPrepared = 128;
}  // namespace

// A bulk append sends the same insert tens of thousands of times: parsing
// and planning its 139 parameters once instead of each time halves the
// server's work. Only a bounded number of texts is kept.
const char* PostgresDatabase::PreparedName(const std::string& sql, int parameters) {
    if (const auto it = prepared_.find(sql); it != prepared_.end()) return it->second.c_str();
    if (prepared_.size() >= kMostPrepared) return nullptr;
    std::string name = "zorbix_" + std::to_string(++prepared_names_);
    ++deferred_;
    if (PQsendPrepare(conn_, name.c_str(), sql.c_str(), parameters, nullptr) != 1) {
        const std::string detail = Trimmed(PQerrorMessage(conn_));
        Flush();
        Fail("数据库读写失败", "", detail);
    }
    return prepared_.emplace(sql, std::move(name)).first->second.c_str();
}

// A server's call sends the same few reads again and again: parsing and
// planning them took the database server as long as running them.
const char* PostgresDatabase::PreparedNow(const std::string& sql, int parameters) {
    if (const auto it = prepared_.find(sql); it != prepared_.end()) return it->second.c_str();
    if (prepared_.size() >= kMostPrepared) return nullptr;
    std::string name = "zorbix_" + std::to_string(++prepared_names_);
    const Result prepared(PQprepare(conn_, name.c_str(), sql.c_str(), parameters, nullptr));
    if (!Succeeded(prepared.result)) return nullptr;
    return prepared_.emplace(sql, std::move(name)).first->second.c_str();
}

void PostgresDatabase::Flush() {
    if (deferred_ == 0) return;
    Collect(false);
}

pg_result* PostgresDatabase::Collect(bool keep_last) {
    deferred_ = 0;
    PQpipelineSync(conn_);
    Result last;
    std::string state, detail;
    // Each statement's result ends with a null; the sync's own comes last.
    for (bool synced = false; !synced;) {
        PGresult* result = PQgetResult(conn_);
        if (!result) {
            if (PQstatus(conn_) != CONNECTION_OK) break;
            continue;
        }
        const auto status = PQresultStatus(result);
        if (status == PGRES_PIPELINE_SYNC) {
            synced = true;
        } else if (status == PGRES_FATAL_ERROR && detail.empty()) {
            const char* code = PQresultErrorField(result, PG_DIAG_SQLSTATE);
            state = code ? code : "";
            detail = Trimmed(PQresultErrorMessage(result));
        } else if (keep_last && Succeeded(result)) {
            last.Reset(result);  // the last statement's comes last
            continue;
        }
        PQclear(result);
    }
    PQexitPipelineMode(conn_);
    if (detail.empty()) {
        PGresult* answer = last.result;
        last.result = nullptr;
        return answer;
    }
    // A failed statement skips the rest of its pipeline, preparations too.
    prepared_.clear();
    Fail("数据库读写失败", state, detail);
}

void PostgresDatabase::Listen() {
    Execute(std::string("LISTEN ") + kChangeChannel);
    listening_ = true;
}

std::vector<ChangeNotice> PostgresDatabase::TakeChangeNotices() {
    RestoreConnection();
    Flush();
    std::vector<ChangeNotice> notices;
    if (lost_notices_) {
        notices.push_back({ChangeNotice::Lost, 0});
        lost_notices_ = false;
    }
    PQconsumeInput(conn_);
    const int own = PQbackendPID(conn_);
    while (PGnotify* notify = PQnotifies(conn_)) {
        const std::string_view payload = notify->extra ? notify->extra : "";
        if (notify->be_pid != own && payload.size() > 1) {
            std::int64_t rowid = 0;
            std::from_chars(payload.data() + 1, payload.data() + payload.size(), rowid);
            const ChangeNotice::Kind kind = payload[0] == 'I'   ? ChangeNotice::Added
                                            : payload[0] == 'D' ? ChangeNotice::Deleted
                                                                : ChangeNotice::Changed;
            notices.push_back({kind, rowid});
        }
        PQfreemem(notify);
    }
    return notices;
}

std::vector<std::string> PostgresDatabase::OtherSessions() {
    Statement q(*this,
                "SELECT usename, coalesce(application_name, ''), coalesce(client_addr::text, "
                "'本机') FROM pg_stat_activity WHERE datname = current_database() AND pid <> "
                "pg_backend_pid() AND backend_type = 'client backend'");
    std::vector<std::string> sessions;
    while (q.Step())
        sessions.push_back(std::string(q.Text(0)) + "（" + std::string(q.Text(2)) + "）");
    return sessions;
}

}  // namespace zorbix::store
