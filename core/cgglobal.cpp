#include "cgglobal.h"

#include "cgplatform_p.h"

void sleep(int ms)
{
    // Win32 reads a negative count as an almost endless wait; nobody asking for one means that.
    if (ms > 0)
        CgPlatform::sleepMilliseconds(ms);
}

Core::Core() = default;

Core::~Core() = default;

Core &Core::operator=(const Core &)
{
    return *this;
}
