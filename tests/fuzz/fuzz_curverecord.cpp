// Stored curve records come from a database file that anything may have written: decoding any
// bytes must neither crash nor read or allocate beyond what the record holds.
#include <analysisresult.h>

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Damaged records are reported as warnings; printing each would only slow the search.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray record
        = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const ClotCurve curve = ClotCurve::fromBuffer(record);
    // Walk what was decoded, so that a segment that claims more points than it has shows.
    double sum = 0.0;
    for (int i = 0; i < curve.size(); ++i)
        sum += curve.y(i);
    (void)sum;
    return 0;
}
