#include "cgplatform_p.h"

#include <cerrno>
#include <ctime>

void CgPlatform::sleepMilliseconds(int ms)
{
    // An absolute deadline on the monotonic clock, so that a signal neither shortens the wait nor
    // makes it drift when it is resumed.
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += ms / 1000;
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_nsec -= 1000000000L;
        ++deadline.tv_sec;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) { }
}
