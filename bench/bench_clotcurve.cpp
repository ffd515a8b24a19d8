// Curve records: the hand-written decoder and encoder against QDataStream doing the same work and
// against a bare copy of the bytes (the limit), and the optical-density conversion against a bare
// loop of std::log10 over the same points.
#include "ratioreporter.h"

#include <analysisresult.h>
#include <clotcurverecord_p.h>

#include <QDataStream>

#include <cmath>
#include <cstring>

namespace {

constexpr int segmentCount = 10;
constexpr int pointsPerSegment = 10000;

// Readings as a detector gives them: bright before the clot forms, darker after.
QVector<double> readings(int count, int offset)
{
    QVector<double> values(count);
    for (int i = 0; i < count; ++i)
        values[i] = 30000.0 - 0.1 * (i + offset) + (i % 7);
    return values;
}

const ClotCurve &largeCurve()
{
    static const ClotCurve curve = [] {
        ClotCurve c;
        for (int s = 0; s < segmentCount; ++s)
            c.append(s * 1000.0, 0.1, readings(pointsPerSegment, s * pointsPerSegment));
        return c;
    }();
    return curve;
}

// glibc hands freed memory back to the system, to fault it in again on the next allocation,
// until the process has once freed a block larger than its thresholds; then it raises them. A
// long-running application is past that point, and the benchmarks start there too: otherwise the
// decoders would be measured against page faults rather than against each other.
void settleAllocator()
{
    QByteArray large(8 << 20, Qt::Uninitialized);
    benchmark::DoNotOptimize(large.data());
}

const QByteArray &largeRecord()
{
    static const QByteArray record = [] {
        settleAllocator();
        return ClotCurveRecord::encode(largeCurve());
    }();
    return record;
}

void fromBuffer(benchmark::State &state)
{
    const QByteArray &record = largeRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(ClotCurve::fromBuffer(record));
    state.SetBytesProcessed(state.iterations() * record.size());
}

void dataStreamDecode(benchmark::State &state)
{
    const QByteArray &record = largeRecord();
    for (auto _ : state) {
        QDataStream in(record);
        qint32 type;
        quint32 count;
        in >> type >> count;
        QVector<ClotCurve::Segment> segments;
        for (quint32 s = 0; s < count; ++s) {
            ClotCurve::Segment segment;
            quint32 n;
            in >> segment.start >> segment.step >> n;
            segment.values.resize(int(n));
            for (double &value : segment.values)
                in >> value;
            segments.append(segment);
        }
        benchmark::DoNotOptimize(segments);
    }
    state.SetBytesProcessed(state.iterations() * record.size());
}

void copyBytes(benchmark::State &state)
{
    const QByteArray &record = largeRecord();
    QByteArray copy(record.size(), Qt::Uninitialized);
    for (auto _ : state) {
        std::memcpy(copy.data(), record.constData(), size_t(record.size()));
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * record.size());
}

void encode(benchmark::State &state)
{
    const ClotCurve &curve = largeCurve();
    for (auto _ : state)
        benchmark::DoNotOptimize(ClotCurveRecord::encode(curve));
    state.SetBytesProcessed(state.iterations() * largeRecord().size());
}

void dataStreamEncode(benchmark::State &state)
{
    const ClotCurve &curve = largeCurve();
    for (auto _ : state) {
        QByteArray record;
        QDataStream out(&record, QIODevice::WriteOnly);
        const QVector<ClotCurve::Segment> segments = curve.segments();
        out << qint32(curve.type()) << quint32(segments.size());
        for (const ClotCurve::Segment &segment : segments) {
            out << segment.start << segment.step << quint32(segment.values.size());
            for (const double value : segment.values)
                out << value;
        }
        benchmark::DoNotOptimize(record);
    }
    state.SetBytesProcessed(state.iterations() * largeRecord().size());
}

const ClotCurve &rawCurve()
{
    static const ClotCurve curve = [] {
        ClotCurve c;
        c.append(0.0, 0.1, readings(segmentCount * pointsPerSegment, 0));
        return c;
    }();
    return curve;
}

void toOpticalDensity(benchmark::State &state)
{
    const ClotCurve &curve = rawCurve();
    for (auto _ : state)
        benchmark::DoNotOptimize(curve.toType(ClotCurve::OpticalDensity));
    state.SetItemsProcessed(state.iterations() * curve.size());
}

void log10Loop(benchmark::State &state)
{
    const QVector<double> values = rawCurve().segments().first().values;
    for (auto _ : state) {
        QVector<double> result(values.size());
        double *out = result.data();
        for (int i = 0; i < values.size(); ++i)
            out[i] = std::log10(values[i]);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * values.size());
}

} // namespace

BENCHMARK(fromBuffer)->Name("ClotCurve::fromBuffer, 10 x 10000 points");
BENCHMARK(dataStreamDecode)->Name("QDataStream into QVectors, 10 x 10000 points");
BENCHMARK(copyBytes)->Name("memcpy of the record, 10 x 10000 points");
BENCHMARK(encode)->Name("record encoding as save does it, 10 x 10000 points");
BENCHMARK(dataStreamEncode)->Name("QDataStream encoding, 10 x 10000 points");
BENCHMARK(toOpticalDensity)->Name("ClotCurve::toType(OpticalDensity), 100000 points");
BENCHMARK(log10Loop)->Name("std::log10 loop, 100000 points");

BENCH_COMPARE(decodeAgainstDataStream, "ClotCurve::fromBuffer, 10 x 10000 points",
              "QDataStream into QVectors, 10 x 10000 points", Comparison::Speed, 20.0,
              "x faster than QDataStream");
BENCH_COMPARE(decodeAgainstMemcpy, "ClotCurve::fromBuffer, 10 x 10000 points",
              "memcpy of the record, 10 x 10000 points", Comparison::Speed, 0.25,
              "x the speed of memcpy (0.25 is within 4x)");
BENCH_COMPARE(encodeAgainstDataStream, "record encoding as save does it, 10 x 10000 points",
              "QDataStream encoding, 10 x 10000 points", Comparison::Speed, 20.0,
              "x faster than QDataStream");
BENCH_COMPARE(encodeAgainstMemcpy, "record encoding as save does it, 10 x 10000 points",
              "memcpy of the record, 10 x 10000 points", Comparison::Speed, 0.25,
              "x the speed of memcpy (0.25 is within 4x)");
BENCH_COMPARE(conversionAgainstLog10, "ClotCurve::toType(OpticalDensity), 100000 points",
              "std::log10 loop, 100000 points", Comparison::Speed, 1.0 / 1.3,
              "x the speed of a bare log10 loop (0.77 is within 1.3x)");
