#include "accounts/session_book.h"

#include "accounts/secrets.h"

namespace zorbix::accounts {

OpenedSession SessionBook::Open(std::string_view account) {
    const std::int64_t now = clock_();
    RemoveExpired(now);
    OpenedSession opened{RandomToken(), RandomToken()};
    store::Statement insert(db_,
                            "INSERT INTO sessions (token_digest, account, csrf, created, "
                            "last_used) VALUES (?1, ?2, ?3, ?4, ?4)");
    insert.Bind(1, TokenDigest(opened.token));
    insert.Bind(2, account);
    insert.Bind(3, opened.csrf);
    insert.Bind(4, now);
    insert.Run();
    return opened;
}

std::optional<Session> SessionBook::Resume(std::string_view token) {
    const std::int64_t now = clock_();
    RemoveExpired(now);
    Session session;
    session.digest = TokenDigest(token);
    store::Statement select(db_, "SELECT account, csrf FROM sessions WHERE token_digest = ?1");
    select.Bind(1, session.digest);
    if (!select.Step()) return std::nullopt;
    session.account = select.Text(0);
    session.csrf = select.Text(1);
    select.Reset();
    store::Statement touch(db_, "UPDATE sessions SET last_used = ?2 WHERE token_digest = ?1");
    touch.Bind(1, session.digest);
    touch.Bind(2, now);
    touch.Run();
    return session;
}

void SessionBook::Close(std::string_view token) {
    store::Statement remove(db_, "DELETE FROM sessions WHERE token_digest = ?1");
    remove.Bind(1, TokenDigest(token));
    remove.Run();
}

void SessionBook::CloseOthers(std::string_view account, std::string_view keep_digest) {
    store::Statement remove(db_, "DELETE FROM sessions WHERE account = ?1 AND token_digest <> ?2");
    remove.Bind(1, account);
    remove.Bind(2, keep_digest);
    remove.Run();
}

void SessionBook::RemoveExpired(std::int64_t now) {
    store::Statement remove(db_, "DELETE FROM sessions WHERE last_used < ?1 OR created < ?2");
    remove.Bind(1, now - kIdleSeconds);
    remove.Bind(2, now - kLifetimeSeconds);
    remove.Run();
}

}  // namespace zorbix::accounts
