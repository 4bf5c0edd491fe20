// CPU time of the calling thread, for the benchmark hooks of the modules:
// other load on the machine does not inflate it, so ratios against a floor
// measured the same way stay meaningful.
#pragma once

#include <ctime>

namespace tarnwick {

inline double thread_cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace tarnwick
