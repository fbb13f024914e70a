#include "server/office_lane.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace zorbix::server {

void LowerThisThreadsPriority(int niceness) {
    // On Linux the priority of PRIO_PROCESS with a thread's id is that
    // thread's alone.
    const id_t thread = static_cast<id_t>(gettid());
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, thread);
    if (errno != 0) return;
    setpriority(PRIO_PROCESS, thread, now + niceness);
}

OfficeLane::OfficeLane() : starter_([this] { StartThreads(); }) {}

OfficeLane::~OfficeLane() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    starter_.join();
}

std::thread OfficeLane::Start(std::function<void()> job) {
    std::promise<std::thread> started;
    std::future<std::thread> thread = started.get_future();
    {
        std::lock_guard lock(mutex_);
        requests_.push_back({std::move(job), &started});
    }
    wake_.notify_one();
    return thread.get();
}

void OfficeLane::StartThreads() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !requests_.empty(); });
        // Those waiting are answered even when stopping: nobody waits forever.
        if (requests_.empty()) return;
        Request request = std::move(requests_.front());
        requests_.pop_front();
        try {
            request.started->set_value(std::thread(std::move(request.job)));
        } catch (...) {
            // No thread to be had (a system limit): the run fails with it.
            request.started->set_exception(std::current_exception());
        }
    }
}

}  // namespace zorbix::server
