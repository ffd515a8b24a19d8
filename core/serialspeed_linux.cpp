#include "serialspeed_linux_p.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdlib>

bool SerialSpeed::setCustomSpeed(int fd, int baudRate)
{
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = settings.c_ospeed = static_cast<speed_t>(baudRate);
    if (::ioctl(fd, TCSETS2, &settings) != 0 || ::ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    // Drivers report the rate their divisor gives, which is seldom the one asked for.
    return std::abs(static_cast<long long>(settings.c_ospeed) - baudRate) * 50 <= baudRate;
}
