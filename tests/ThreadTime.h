// Processor time of the calling thread: for bounding how much work a call does, which a
// loaded machine does not stretch the way it stretches the time on the clock.
#pragma once

#include <time.h>

#include <chrono>

namespace zel::test {

inline std::chrono::nanoseconds ThreadTime()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

}  // namespace zel::test
