// Small helpers the benchmarks share: a stopwatch, the resident memory of
// this process, and a line per figure with its target.
#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace zorbix::bench {

class Stopwatch {
public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    double Milliseconds() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
            .count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

// Processor time this process has used so far, all its threads, in ms: on
// a machine shared with other builds it says what a run costs where the
// wall clock says mostly how long it waited.
inline double ProcessorMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Resident memory of this process in MB (VmRSS).
inline double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// Prints one figure against its target; returns false when it misses.
inline bool Report(const char* what, double value, double target, const char* unit) {
    const bool ok = value <= target;
    std::printf("%-58s %10.1f %-3s (target < %g %s) %s\n", what, value, unit, target, unit,
                ok ? "ok" : "MISSED");
    return ok;
}

// Prints one figure that must reach its target (a ratio, say); returns
// false when it falls short.
inline bool ReportAtLeast(const char* what, double value, double target, const char* unit) {
    const bool ok = value >= target;
    std::printf("%-58s %10.1f %-3s (target >= %g %s) %s\n", what, value, unit, target, unit,
                ok ? "ok" : "MISSED");
    return ok;
}

// The same for a plain number (a ratio).
inline bool ReportAtLeast(const char* what, double value, double target) {
    return ReportAtLeast(what, value, target, "");
}

}  // namespace zorbix::bench
