// Writes many small files on a thread of its own, so a run that makes one
// file per project prepares the next file while the file system creates
// the last one: on two cores the run then takes about as long as the file
// system alone.
//
// Each file is written as the atomic writer writes it, inside a batch that
// syncs once at its end (durable_batch.h): a file keeps its hidden temporary
// name until one sync of the file system has made every file's data
// durable, then all are renamed into place. So each output stays complete
// or absent, as when the run writes them itself.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace zorbix::base {

class BackgroundWriter {
public:
    BackgroundWriter();
    // Waits for the files already queued and puts them in place, dropping
    // a failure (the run is ending with its own).
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    // Queues a file. Throws the Failure of an earlier file, if one could
    // not be written, once the files written before it are in place; after
    // a failure nothing more is written.
    void Write(std::filesystem::path path, std::string bytes);

    // Waits until every queued file is written, durable and in place.
    // Throws the first Failure, naming the file.
    void Finish();

private:
    struct Job {
        std::filesystem::path path;
        std::string bytes;
    };

    void Run();
    bool Next(std::deque<Job>& jobs);
    void Stop();
    void ThrowFailure();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    bool closing_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace zorbix::base
