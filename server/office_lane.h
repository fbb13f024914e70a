// The office's long runs (check all, the summaries, exchange files,
// backups) go before the units' requests when the machine is short of
// processor time: the connection workers lower their own priority
// (LowerThisThreadsPriority), and each long run works on a thread started
// by this lane's own thread, which keeps the priority the server started
// with. A thread cannot raise its priority again once lowered, unless the
// server runs with privileges it should not have, so the run's thread must
// come from a thread that never lowered it.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>

namespace zorbix::server {

// How much lower the connection workers run than the office's long runs.
inline constexpr int kWorkerNiceness = 19;

// Lowers the calling thread's priority by `niceness` (a no-op when the
// system refuses).
void LowerThisThreadsPriority(int niceness);

class OfficeLane {
public:
    OfficeLane();
    ~OfficeLane();
    OfficeLane(const OfficeLane&) = delete;
    OfficeLane& operator=(const OfficeLane&) = delete;

    // Runs work() on a thread of the server's first priority, waits for it
    // and answers what it returned, or throws what it threw.
    template <class Work>
    std::invoke_result_t<Work&> Run(Work&& work) {
        using Result = std::invoke_result_t<Work&>;
        std::packaged_task<Result()> task([&work] { return work(); });
        std::future<Result> done = task.get_future();
        std::thread runner = Start([&task] { task(); });
        runner.join();
        return done.get();
    }

private:
    struct Request {
        std::function<void()> job;
        std::promise<std::thread>* started;
    };

    // A thread running job, made by the lane's thread.
    std::thread Start(std::function<void()> job);
    void StartThreads();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> requests_;
    bool stopping_ = false;
    std::thread starter_;
};

}  // namespace zorbix::server
