// Waits after failed logins, per account and per address.
#include "accounts/login_throttle.h"

#include <gtest/gtest.h>

namespace zorbix::testing {
namespace {

using namespace accounts;

class Throttle : public ::testing::Test {
protected:
    void FailTimes(int times, const std::string& account, const std::string& address) {
        for (int i = 0; i < times; ++i) throttle_.Failed(account, address);
    }

    std::int64_t now_ = 1'700'000'000;
    LoginThrottle throttle_{[this] { return now_; }};
};

TEST_F(Throttle, FourFailuresCostNothingThenTheWaitDoubles) {
    FailTimes(4, "clerk", "10.0.0.1");
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.1"), 0);
    throttle_.Failed("clerk", "10.0.0.1");
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.1"), kFirstWaitSeconds);
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.2"), kFirstWaitSeconds)
        << "another address does not help";
    EXPECT_EQ(throttle_.WaitSeconds("other", "10.0.0.1"), 0) << "nor hinders another account";
    throttle_.Failed("clerk", "10.0.0.1");
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.1"), 2 * kFirstWaitSeconds);
    now_ += 2 * kFirstWaitSeconds;
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.1"), 0);
}

TEST_F(Throttle, TheWaitStopsGrowingAtItsLongest) {
    FailTimes(40, "clerk", "10.0.0.1");
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.1"), kLongestWaitSeconds);
}

TEST_F(Throttle, OneAddressTryingManyAccountsIsSlowedToo) {
    for (int i = 0; i < kFreeAddressFailures - 1; ++i)
        throttle_.Failed("name" + std::to_string(i), "10.0.0.9");
    EXPECT_EQ(throttle_.WaitSeconds("fresh", "10.0.0.9"), 0);
    throttle_.Failed("another", "10.0.0.9");
    EXPECT_EQ(throttle_.WaitSeconds("fresh", "10.0.0.9"), kFirstWaitSeconds);
    EXPECT_EQ(throttle_.WaitSeconds("fresh", "10.0.0.10"), 0);
}

TEST_F(Throttle, ARightPasswordClearsTheAccountButNotTheAddress) {
    FailTimes(kFreeAddressFailures, "clerk", "10.0.0.1");
    throttle_.Succeeded("clerk");
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.2"), 0);
    EXPECT_GT(throttle_.WaitSeconds("clerk", "10.0.0.1"), 0);
}

TEST_F(Throttle, FailuresAreForgottenAfterAQuietHour) {
    FailTimes(5, "clerk", "10.0.0.1");
    now_ += 2 * 60 * 60;
    throttle_.Failed("clerk", "10.0.0.1");
    EXPECT_EQ(throttle_.WaitSeconds("clerk", "10.0.0.1"), 0);
}

}  // namespace
}  // namespace zorbix::testing
