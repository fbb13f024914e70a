// Keeps a second running copy of the program off the same program
// directory: one writer on the database at a time. The lock goes with the
// process, however it ends.
#pragma once

#include <filesystem>

namespace zorbix::base {

class InstanceLock {
public:
    // Takes the lock of a program directory; throws Failure with the user's
    // message when another copy holds it or the lock file cannot be made.
    explicit InstanceLock(const std::filesystem::path& directory);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace zorbix::base
