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
    SweepNowAndThen(now);
    Session session;
    session.digest = TokenDigest(token);
    store::Statement select(
        db_, "SELECT account, csrf, created, last_used FROM sessions WHERE token_digest = ?1");
    select.Bind(1, session.digest);
    if (!select.Step()) return std::nullopt;
    session.account = select.Text(0);
    session.csrf = select.Text(1);
    const std::int64_t created = select.Int(2);
    const std::int64_t last_used = select.Int(3);
    select.Reset();
    if (last_used < now - kIdleSeconds || created < now - kLifetimeSeconds) {
        Remove(session.digest);
        return std::nullopt;
    }
    if (now - last_used >= kTouchSeconds) {
        store::Statement touch(db_, "UPDATE sessions SET last_used = ?2 WHERE token_digest = ?1");
        touch.Bind(1, session.digest);
        touch.Bind(2, now);
        touch.Run();
    }
    return session;
}

void SessionBook::Close(std::string_view token) { Remove(TokenDigest(token)); }

void SessionBook::Remove(std::string_view digest) {
    store::Statement remove(db_, "DELETE FROM sessions WHERE token_digest = ?1");
    remove.Bind(1, digest);
    remove.Run();
}

void SessionBook::CloseOthers(std::string_view account, std::string_view keep_digest) {
    store::Statement remove(db_, "DELETE FROM sessions WHERE account = ?1 AND token_digest <> ?2");
    remove.Bind(1, account);
    remove.Bind(2, keep_digest);
    remove.Run();
}

void SessionBook::SweepNowAndThen(std::int64_t now) {
    // A clock set back sweeps at once, too.
    if (now >= last_sweep_ && now - last_sweep_ < kTouchSeconds) return;
    RemoveExpired(now);
}

void SessionBook::RemoveExpired(std::int64_t now) {
    last_sweep_ = now;
    store::Statement remove(db_, "DELETE FROM sessions WHERE last_used < ?1 OR created < ?2");
    remove.Bind(1, now - kIdleSeconds);
    remove.Bind(2, now - kLifetimeSeconds);
    remove.Run();
}

}  // namespace zorbix::accounts
