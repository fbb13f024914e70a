#include "server/connection_pool.h"

#include <algorithm>
#include <system_error>

#include "server/office_lane.h"

namespace zorbix::server {

ConnectionPool::ConnectionPool(std::size_t resident, std::size_t most,
                               std::chrono::milliseconds retire_after, int niceness)
    : resident_(resident),
      most_(std::max(resident, most)),
      retire_after_(retire_after),
      niceness_(niceness) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < resident_; ++i) StartWorker();
}

ConnectionPool::~ConnectionPool() { shutdown(); }

void ConnectionPool::enqueue(std::function<void()> job) {
    std::lock_guard lock(mutex_);
    JoinRetired();
    jobs_.push_back(std::move(job));
    if (jobs_.size() > idle_ && workers_.size() - retired_.size() < most_) StartWorker();
    wake_.notify_one();
}

void ConnectionPool::shutdown() {
    std::map<int, std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        workers.swap(workers_);
        retired_.clear();
    }
    wake_.notify_all();
    for (auto& [id, worker] : workers)
        if (worker.joinable()) worker.join();
}

std::size_t ConnectionPool::Workers() {
    std::lock_guard lock(mutex_);
    return workers_.size() - retired_.size();
}

// Called with the lock held.
void ConnectionPool::StartWorker() {
    const int id = next_id_++;
    try {
        workers_.emplace(id, std::thread([this, id] { Work(id); }));
    } catch (const std::system_error&) {
        // No thread to be had (a system limit): the job waits for a worker
        // already running, as it would in a fixed pool.
    }
}

void ConnectionPool::Work(int id) {
    if (niceness_ > 0) LowerThisThreadsPriority(niceness_);
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        const bool woken =
            wake_.wait_for(lock, retire_after_, [this] { return stopping_ || !jobs_.empty(); });
        --idle_;
        if (jobs_.empty()) {
            if (stopping_) return;
            const std::size_t running = workers_.size() - retired_.size();
            if (!woken && running > resident_) {
                retired_.push_back(id);
                return;
            }
            continue;
        }
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

// Called with the lock held: the retired workers hold it no more.
void ConnectionPool::JoinRetired() {
    for (const int id : retired_) {
        const auto it = workers_.find(id);
        if (it == workers_.end()) continue;
        if (it->second.joinable()) it->second.join();
        workers_.erase(it);
    }
    retired_.clear();
}

}  // namespace zorbix::server
