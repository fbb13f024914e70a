// Sessions: opened at login, resumed by their token, ended by logout, by
// idleness and by age.
#include "accounts/session_book.h"

#include <gtest/gtest.h>

#include "accounts/secrets.h"
#include "tests/accounts/accounts_fixture.h"

namespace zorbix::testing {
namespace {

using namespace accounts;

class Sessions : public AccountsFixture {
protected:
    SessionBook book_{db_, clock()};
};

TEST_F(Sessions, ATokenResumesItsSessionAndOnlyItsDigestIsStored) {
    const auto opened = book_.Open("clerk");
    EXPECT_NE(opened.token, opened.csrf);
    const auto session = book_.Resume(opened.token);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->account, "clerk");
    EXPECT_EQ(session->csrf, opened.csrf);
    EXPECT_FALSE(book_.Resume(RandomToken()));

    store::Statement tokens(db_, "SELECT token_digest FROM sessions");
    ASSERT_TRUE(tokens.Step());
    EXPECT_EQ(tokens.Text(0), TokenDigest(opened.token));
    EXPECT_NE(tokens.Text(0), opened.token);
}

TEST_F(Sessions, EndsAfterThirtyIdleMinutes) {
    const auto opened = book_.Open("clerk");
    now_ += kIdleSeconds;
    ASSERT_TRUE(book_.Resume(opened.token)) << "a request at the limit keeps it";
    now_ += kIdleSeconds + 1;
    EXPECT_FALSE(book_.Resume(opened.token));
    now_ -= kIdleSeconds;
    EXPECT_FALSE(book_.Resume(opened.token)) << "an expired session is gone for good";
}

TEST_F(Sessions, EndsTwelveHoursAfterLoginHoweverBusy) {
    const auto opened = book_.Open("clerk");
    for (std::int64_t passed = 0; passed + 600 <= kLifetimeSeconds; passed += 600) {
        ASSERT_TRUE(book_.Resume(opened.token)) << passed;
        now_ += 600;
    }
    now_ += 1;
    EXPECT_FALSE(book_.Resume(opened.token));
}

TEST_F(Sessions, LogoutAndAPasswordChangeEndSessions) {
    const auto first = book_.Open("unit");
    const auto second = book_.Open("unit");
    const auto other = book_.Open("someone");
    book_.CloseOthers("unit", book_.Resume(second.token)->digest);
    EXPECT_FALSE(book_.Resume(first.token));
    EXPECT_TRUE(book_.Resume(second.token));
    EXPECT_TRUE(book_.Resume(other.token));
    book_.Close(second.token);
    EXPECT_FALSE(book_.Resume(second.token));
    EXPECT_TRUE(book_.Resume(other.token));
}

}  // namespace
}  // namespace zorbix::testing
