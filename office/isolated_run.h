// Running a reader of untrusted files that we cannot mend ourselves (FreeXL,
// which reads past its own buffers and leaks on some damaged .xls files) in a
// child process: a fault in it ends the child and becomes a message, never a
// crash of the program. The platform calls live in isolated_run_posix.cpp; a
// build without processes may run the work directly instead.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zorbix::office {

// How the work may end apart from returning its bytes.
struct Isolation {
    std::string crashed;          // a crash, another exception, a killed child
    std::string out_of_memory;    // the work needed more than its memory budget
    std::uint64_t memory_budget;  // bytes the child may add to what it inherited
};

// Whether the child's memory budget is enforced: an address sanitizer maps
// terabytes of shadow memory, so its builds run the work without the bound.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kIsolationBoundsMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kIsolationBoundsMemory = false;
#else
inline constexpr bool kIsolationBoundsMemory = true;
#endif
#else
inline constexpr bool kIsolationBoundsMemory = true;
#endif

// Runs `work` apart and returns the bytes it produced. Throws base::Failure
// with the message of a base::Failure that `work` threw, with
// `out_of_memory` when it ran out of its budget, and with `crashed` when it
// ended any other way.
std::string RunIsolated(const std::function<std::string()>& work, const Isolation& isolation);

}  // namespace zorbix::office
