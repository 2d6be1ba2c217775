// The wall clock both start-up probes report in, so their figures compare with the moment the
// run script started each process.
#pragma once

#include <ctime>

inline long long wallClockMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}
