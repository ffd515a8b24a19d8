#ifndef CLOTCURVERECORD_P_H
#define CLOTCURVERECORD_P_H

#include "analysisresult.h"

#include <QByteArray>

// The stored form of a curve: the layout QDataStream gives it with its defaults (big-endian,
// 32-bit counts, IEEE 754 doubles), written and read by hand so that the doubles are swapped in
// one loop and nothing read is trusted.
namespace ClotCurveRecord {

// The curve's record; a null array, with a warning, when the curve is too large for one.
CORE_EXPORT QByteArray encode(const ClotCurve &curve);

// Reads a complete record into *type and *segments, ignoring bytes after it. A record cut short
// or announcing more than it holds is written as a warning and leaves both untouched.
CORE_EXPORT bool decode(const QByteArray &record, ClotCurve::PointType *type,
                        QVector<ClotCurve::Segment> *segments);

} // namespace ClotCurveRecord

#endif // CLOTCURVERECORD_P_H
