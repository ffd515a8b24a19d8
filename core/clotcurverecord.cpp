#include "clotcurverecord_p.h"

#include <QtEndian>

#include <limits>

namespace {

constexpr int headerSize = 8; // point type, segment count
constexpr int segmentHeaderSize = 20; // start, step, value count
constexpr int valueSize = 8;

template<typename T>
char *put(char *out, T value)
{
    qToBigEndian<T>(value, out);
    return out + sizeof(T);
}

// Reads forward through a record, never past its end.
class Reader
{
public:
    explicit Reader(const QByteArray &record)
        : m_next(record.constData()), m_end(record.constData() + record.size())
    { }

    int remaining() const { return int(m_end - m_next); }

    template<typename T>
    T take()
    {
        const T value = qFromBigEndian<T>(m_next);
        m_next += sizeof(T);
        return value;
    }

    void takeDoubles(double *out, int count)
    {
        for (int i = 0; i < count; ++i)
            out[i] = qFromBigEndian<double>(m_next + i * valueSize);
        m_next += count * valueSize;
    }

private:
    const char *m_next;
    const char *const m_end;
};

bool damaged(const QByteArray &record)
{
    qWarning("ClotCurve: Damaged curve record of %d bytes ignored", int(record.size()));
    return false;
}

} // namespace

QByteArray ClotCurveRecord::encode(const ClotCurve &curve)
{
    const QVector<ClotCurve::Segment> segments = curve.segments();
    qint64 size = headerSize;
    for (const ClotCurve::Segment &segment : segments)
        size += segmentHeaderSize + qint64(valueSize) * segment.values.size();
    if (size > std::numeric_limits<int>::max()) {
        qWarning("ClotCurve: A curve of %lld bytes is too large to store", size);
        return QByteArray();
    }

    QByteArray record(int(size), Qt::Uninitialized);
    char *out = record.data();
    out = put<qint32>(out, curve.type());
    out = put<quint32>(out, quint32(segments.size()));
    for (const ClotCurve::Segment &segment : segments) {
        out = put<double>(out, segment.start);
        out = put<double>(out, segment.step);
        out = put<quint32>(out, quint32(segment.values.size()));
        for (const double value : segment.values)
            out = put<double>(out, value);
    }
    return record;
}

bool ClotCurveRecord::decode(const QByteArray &record, ClotCurve::PointType *type,
                             QVector<ClotCurve::Segment> *segments)
{
    Reader reader(record);
    if (reader.remaining() < headerSize)
        return damaged(record);
    const auto pointType = ClotCurve::PointType(reader.take<qint32>());
    const quint32 segmentCount = reader.take<quint32>();
    // Counts are checked against the bytes left before anything is allocated for them.
    if (segmentCount > quint32(reader.remaining() / segmentHeaderSize))
        return damaged(record);

    QVector<ClotCurve::Segment> result;
    result.reserve(int(segmentCount));
    for (quint32 s = 0; s < segmentCount; ++s) {
        if (reader.remaining() < segmentHeaderSize)
            return damaged(record);
        ClotCurve::Segment segment;
        segment.start = reader.take<double>();
        segment.step = reader.take<double>();
        const quint32 valueCount = reader.take<quint32>();
        if (valueCount > quint32(reader.remaining() / valueSize))
            return damaged(record);
        segment.values.resize(int(valueCount));
        reader.takeDoubles(segment.values.data(), int(valueCount));
        result.append(std::move(segment));
    }
    *type = pointType;
    *segments = std::move(result);
    return true;
}
