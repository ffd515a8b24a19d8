// Ratios are typed by users: any text must give a number or 0.0, and never crash.
#include <cgglobal.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    bool ok = true;
    const double value = fraction(text, &ok);
    if (!ok && value != 0.0)
        __builtin_trap();
    return 0;
}
