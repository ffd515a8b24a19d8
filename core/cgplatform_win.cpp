#include "cgplatform_p.h"

#include <windows.h>

void CgPlatform::sleepMilliseconds(int ms)
{
    Sleep(static_cast<DWORD>(ms));
}
