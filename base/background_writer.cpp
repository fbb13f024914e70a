#include "base/background_writer.h"

#include "base/atomic_file.h"
#include "base/durable_batch.h"
#include "base/error.h"

namespace zorbix::base {
namespace {

// Files waiting at most: enough to keep the thread busy, little memory.
constexpr std::size_t kMaxQueued = 256;

}  // namespace

BackgroundWriter::BackgroundWriter() : thread_([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter() { Stop(); }

void BackgroundWriter::Write(std::filesystem::path path, std::string bytes) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kMaxQueued || failure_; });
    if (failure_) {
        // What was written before is in place when the run hears of it.
        lock.unlock();
        Stop();
        std::rethrow_exception(failure_);
    }
    queue_.push_back({std::move(path), std::move(bytes)});
    // The thread waits only for an empty queue.
    if (queue_.size() == 1) changed_.notify_all();
}

void BackgroundWriter::Finish() {
    Stop();
    ThrowFailure();
}

void BackgroundWriter::Stop() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void BackgroundWriter::ThrowFailure() {
    std::lock_guard lock(mutex_);
    if (failure_) std::rethrow_exception(failure_);
}

// Takes every queued file at once (one hand-over per batch of files, not
// per file); false once closing and nothing is left, or after a failure.
bool BackgroundWriter::Next(std::deque<Job>& jobs) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !queue_.empty() || closing_; });
    if (queue_.empty() || failure_) return false;
    jobs.swap(queue_);
    changed_.notify_all();
    return true;
}

void BackgroundWriter::Run() {
    auto keep_first = [this](std::exception_ptr error) {
        std::lock_guard lock(mutex_);
        if (!failure_) failure_ = std::move(error);
        queue_.clear();
        changed_.notify_all();
    };
    DurableBatch batch(DurableBatch::Mode::SyncOnceAtEnd);
    std::deque<Job> jobs;
    while (Next(jobs)) {
        try {
            for (; !jobs.empty(); jobs.pop_front())
                WriteFileAtomically(jobs.front().path, jobs.front().bytes);
        } catch (...) {
            jobs.clear();
            keep_first(std::current_exception());
        }
    }
    try {
        batch.Finish();
    } catch (...) {
        keep_first(std::current_exception());
    }
}

}  // namespace zorbix::base
