// Who goes first on a busy server: requests waiting for the store's lock
// get it in the order they asked, and the office's long runs work at the
// priority the server started with while the connection workers run lower.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "base/error.h"
#include "server/connection_pool.h"
#include "server/fair_mutex.h"
#include "server/fair_turns.h"
#include "server/office_lane.h"
#include "tests/support/eventually.h"

namespace zorbix::testing {
namespace {

using namespace std::chrono_literals;
using server::FairMutex;
using server::FairTurns;
using server::OfficeLane;

int ThisThreadsNiceness() { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); }

TEST(FairMutex, WaitersGetTheLockInTheOrderTheyAsked) {
    FairMutex mutex;
    std::vector<int> order;
    std::vector<std::thread> waiters;
    mutex.lock();
    for (int i = 0; i < 8; ++i) {
        waiters.emplace_back([&, i] {
            std::lock_guard lock(mutex);
            order.push_back(i);
        });
        ASSERT_TRUE(Eventually([&] { return mutex.Waiting() == static_cast<std::size_t>(i + 1); }));
    }
    mutex.unlock();
    // A newcomer after the release queues behind those already waiting.
    {
        std::lock_guard lock(mutex);
        order.push_back(99);
    }
    for (auto& waiter : waiters) waiter.join();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 99}));
    EXPECT_EQ(mutex.Waiting(), 0u);
}

TEST(FairTurns, EachIsHeldByOneAtATimeAndWaitersGetThemInTheOrderTheyAsked) {
    FairTurns turns(2);
    const std::size_t first = turns.Take();
    const std::size_t second = turns.Take();
    EXPECT_NE(first, second);
    std::mutex guard;
    std::vector<std::pair<int, std::size_t>> order;  // waiter, the one it got
    std::vector<std::thread> waiters;
    for (int i = 0; i < 6; ++i) {
        waiters.emplace_back([&, i] {
            const server::Turn turn(turns);
            std::lock_guard lock(guard);
            order.emplace_back(i, turn.which());
        });
        ASSERT_TRUE(Eventually([&] { return turns.Waiting() == static_cast<std::size_t>(i + 1); }));
    }
    // Each waiter gives its turn back at once, to the next in line; the
    // second stays held all along, so the first is handed down the line.
    turns.Give(first);
    for (auto& waiter : waiters) waiter.join();
    ASSERT_EQ(order.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(order[static_cast<std::size_t>(i)].first, i);
        EXPECT_EQ(order[static_cast<std::size_t>(i)].second, first);
    }
    EXPECT_EQ(turns.Waiting(), 0u);
    turns.Give(second);
    EXPECT_LT(turns.Take(), 2u);
}

TEST(OfficeLane, ARunAnswersItsValueOrItsFailure) {
    OfficeLane lane;
    EXPECT_EQ(lane.Run([] { return std::string("汇总完成"); }), "汇总完成");
    EXPECT_THROW(lane.Run([]() -> int { throw base::Failure("磁盘已满"); }), base::Failure);
    int ran = 0;
    lane.Run([&] { ++ran; });
    EXPECT_EQ(ran, 1);
}

// The worker lowered itself for good; the run it starts works at the
// priority the lane's maker had, and so do the threads that run starts.
TEST(OfficeLane, ALongRunWorksAboveTheWorkerThatStartedIt) {
    const int first = ThisThreadsNiceness();
    if (first + server::kWorkerNiceness > 19) GTEST_SKIP() << "already at the lowest priority";
    OfficeLane lane;
    int worker = 0, run = 0, started_by_run = 0;
    std::thread lowered([&] {
        server::LowerThisThreadsPriority(server::kWorkerNiceness);
        worker = ThisThreadsNiceness();
        run = lane.Run([&] {
            std::thread([&] { started_by_run = ThisThreadsNiceness(); }).join();
            return ThisThreadsNiceness();
        });
    });
    lowered.join();
    EXPECT_EQ(worker, first + server::kWorkerNiceness);
    EXPECT_EQ(run, first);
    EXPECT_EQ(started_by_run, first);
}

TEST(ConnectionPool, WorkersRunAtTheLowerPriority) {
    const int first = ThisThreadsNiceness();
    if (first + server::kWorkerNiceness > 19) GTEST_SKIP() << "already at the lowest priority";
    server::ConnectionPool pool(1, 2, 1s, server::kWorkerNiceness);
    std::mutex mutex;
    int seen = -100;
    pool.enqueue([&] {
        std::lock_guard lock(mutex);
        seen = ThisThreadsNiceness();
    });
    ASSERT_TRUE(Eventually([&] {
        std::lock_guard lock(mutex);
        return seen != -100;
    }));
    EXPECT_EQ(seen, first + server::kWorkerNiceness);
    pool.shutdown();
}

}  // namespace
}  // namespace zorbix::testing
