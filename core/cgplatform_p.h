#ifndef CGPLATFORM_P_H
#define CGPLATFORM_P_H

// What the library needs of the operating system, one implementation file per platform.
// Plain C++ types only, so each side builds without the other's headers.
namespace CgPlatform {

// Blocks the calling thread for at least ms milliseconds (ms > 0), resuming after signals.
void sleepMilliseconds(int ms);

} // namespace CgPlatform

#endif // CGPLATFORM_P_H
