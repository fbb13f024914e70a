// The pool of workers: it grows while every worker is busy, up to its
// most, lets the extra workers go when idle, and runs what was queued
// before it ends.
#include "server/connection_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <latch>
#include <thread>

#include "tests/support/eventually.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;
using server::ConnectionPool;

TEST(ConnectionPool, GrowsWhileEveryWorkerIsBusyUpToItsMost) {
    ConnectionPool pool(2, 6, 50ms);
    EXPECT_EQ(pool.Workers(), 2u);
    std::latch release(1);
    std::atomic<int> running{0};
    for (int i = 0; i < 10; ++i)
        pool.enqueue([&] {
            ++running;
            release.wait();
        });
    EXPECT_TRUE(Eventually([&] { return running == 6; })) << running;
    EXPECT_EQ(pool.Workers(), 6u) << "never beyond the most";
    release.count_down();
    EXPECT_TRUE(Eventually([&] { return running == 10; })) << "the queued jobs ran";
    // The extra workers end once idle; the resident ones stay.
    EXPECT_TRUE(Eventually([&] { return pool.Workers() == 2; })) << pool.Workers();
    pool.enqueue([&] { ++running; });  // joins the ended ones
    EXPECT_TRUE(Eventually([&] { return running == 11; }));
    pool.shutdown();
}

TEST(ConnectionPool, RunsWhatWasQueuedBeforeItEnds) {
    std::atomic<int> done{0};
    {
        ConnectionPool pool(1, 1);
        for (int i = 0; i < 20; ++i)
            pool.enqueue([&] {
                std::this_thread::sleep_for(1ms);
                ++done;
            });
        pool.shutdown();
    }
    EXPECT_EQ(done, 20);
}

}  // namespace
}  // namespace zorbix::testing
