// Password guessing against the login: an attacker's guesses, however many
// and however fast, keep the real unit out for at most the longest wait of
// the throttle (15 minutes after the attacker's last counted failure), and
// an attacker guessing many accounts from one address is held back without
// holding back the units at other addresses. Time passes on the fixture's
// clock; nothing sleeps.
#include <gtest/gtest.h>

#include "accounts/login_throttle.h"
#include "tests/server/raw_request.h"
#include "tests/server/server_fixture.h"

namespace zorbix::testing {
namespace {

using accounts::Role;

const std::string kAttacker = "127.0.0.2";
const std::string kRealUnit = "127.0.0.1";

class PasswordGuessing : public ServerFixture {
protected:
    PasswordGuessing() { AddAccount("unit", Role::Unit, "甲单位", "the-real-password"); }

    RawReply Login(const std::string& name, const std::string& password, const std::string& from) {
        return SendRaw(port_,
                       RawRequest()
                           .Method("POST")
                           .Target("/api/login")
                           .WithoutCsrf()
                           .Body(nlohmann::json{{"name", name}, {"password", password}}.dump())
                           .From(from));
    }

    static std::int64_t RetryAfter(const RawReply& reply) {
        return reply.Header("retry-after").empty() ? 0 : std::stoll(reply.Header("retry-after"));
    }
};

TEST_F(PasswordGuessing, GuessesLockARealUnitOutForAtMostFifteenMinutes) {
    // The attacker guesses again the moment each wait ends, and hammers the
    // login in between; no wait it meets is longer than the longest.
    int counted = 0;
    for (int round = 0; round < 12; ++round) {
        for (int hammer = 0; hammer < 20; ++hammer) {
            const RawReply guess = Login("unit", "guess-" + std::to_string(round), kAttacker);
            ASSERT_TRUE(guess.status == 401 || guess.status == 429) << guess.body;
            if (guess.status == 401) ++counted;
            EXPECT_LE(RetryAfter(guess), accounts::kLongestWaitSeconds);
        }
        if (round < 11) now_ += RetryAfter(Login("unit", "again", kAttacker));
    }
    EXPECT_GE(counted, accounts::kFreeAccountFailures + 5);
    // The real unit, right after the attacker's last guess, must wait, but
    // no longer than the longest wait.
    const RawReply waiting = Login("unit", "the-real-password", kRealUnit);
    ASSERT_EQ(waiting.status, 429) << waiting.body;
    EXPECT_EQ(RetryAfter(waiting), accounts::kLongestWaitSeconds);
    // Guessing on during the wait does not make it longer.
    for (int hammer = 0; hammer < 50; ++hammer)
        EXPECT_EQ(Login("unit", "more", kAttacker).status, 429);
    now_ += accounts::kLongestWaitSeconds - 1;
    EXPECT_EQ(Login("unit", "the-real-password", kRealUnit).status, 429);
    now_ += 1;
    const RawReply in = Login("unit", "the-real-password", kRealUnit);
    EXPECT_EQ(in.status, 200) << in.body;
}

TEST_F(PasswordGuessing, AnAddressGuessingManyAccountsIsHeldBackAloneOnIt) {
    for (int i = 0; i < accounts::kFreeAddressFailures; ++i)
        EXPECT_EQ(Login("name-" + std::to_string(i), "guess", kAttacker).status, 401);
    const RawReply held = Login("yet-another-name", "guess", kAttacker);
    EXPECT_EQ(held.status, 429) << held.body;
    EXPECT_GT(RetryAfter(held), 0);
    EXPECT_LE(RetryAfter(held), accounts::kLongestWaitSeconds);
    EXPECT_EQ(Login("unit", "the-real-password", kAttacker).status, 429);
    // The real unit, at its own address, is not held back by them.
    EXPECT_EQ(Login("unit", "the-real-password", kRealUnit).status, 200);
}

TEST_F(PasswordGuessing, NameSpellingsDoNotDodgeTheAccountsCount) {
    // A name that differs from the account's only after a NUL, or in blanks
    // around it, is no way to the account's password without its count.
    const std::string spellings[] = {std::string("unit\0a", 6), std::string("unit\0b", 6), " unit",
                                     "unit ", "UNIT"};
    for (const std::string& name : spellings) {
        const RawReply reply = Login(name, "the-real-password", kAttacker);
        EXPECT_TRUE(reply.status == 401 || reply.status == 400) << name << ": " << reply.body;
    }
}

}  // namespace
}  // namespace zorbix::testing
