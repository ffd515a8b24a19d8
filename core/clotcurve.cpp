#include "analysisresult.h"

#include <cmath>
#include <limits>

namespace {

// x where the baseline window begins, and the largest optical density reported.
constexpr double baselineStart = 3.0;
constexpr double maximumDensity = 5.0;
// Stands in for readings of no light at all, which would make the density infinite.
constexpr double smallestReading = std::numeric_limits<double>::epsilon();

// The integer nearest to a, halves rounded up, still as a double: a may be far beyond int.
double nearest(double a)
{
    return std::floor(a + 0.5);
}

// The baseline window of a segment as point indexes [first, first + length), or length 0 when
// the segment has none: it ends before the window begins, or its x axis is unusable.
struct Window
{
    int first = 0;
    int length = 0;
};

Window baselineWindow(const ClotCurve::Segment &segment)
{
    Window window;
    const double start = segment.start;
    const double step = segment.step;
    const int size = segment.values.size();
    if (!std::isfinite(start) || !std::isfinite(step) || step <= 0.0)
        return window;
    // Doubles until they are known to fit: a tiny step makes both counts enormous.
    const double first = std::max(nearest((std::max(start, baselineStart) - start) / step), 0.0);
    if (first >= size)
        return window;
    const double pointsPerUnit = std::max(1.0, nearest(1.0 / step));
    window.first = int(first);
    window.length = int(std::min(double(size - window.first), pointsPerUnit));
    return window;
}

// Turns the segment's readings into optical densities, as toType() describes. The densities are
// written into a vector of their own: the readings may still be shared with the source curve.
void convertToOpticalDensity(ClotCurve::Segment &segment)
{
    const Window window = baselineWindow(segment);
    const QVector<double> readings = segment.values;
    const double *reading = readings.constData();
    QVector<double> densities(readings.size());
    if (window.length > 0) {
        double sum = 0.0;
        for (int i = window.first; i < window.first + window.length; ++i)
            sum += reading[i];
        const double baseline = sum / window.length;
        if (std::isfinite(baseline) && baseline > 0.0) {
            double *density = densities.data();
            // The ratios first, in a loop of their own that the compiler can vectorise; the
            // logarithm cannot be, and its loop then does nothing else.
            for (int j = window.first + window.length / 2; j < readings.size(); ++j)
                density[j] = baseline / qMax(reading[j], smallestReading);
            for (int j = window.first + window.length / 2; j < readings.size(); ++j)
                density[j] = qMin(maximumDensity, std::log10(density[j]));
        }
    }
    segment.values = densities;
}

} // namespace

ClotCurve::ClotCurve() : m_type(Raw) { }

void ClotCurve::append(const Segment &segment)
{
    m_segments.append(segment);
}

void ClotCurve::append(double start, double step, const QVector<double> &values)
{
    m_segments.append(Segment{ start, step, values });
}

int ClotCurve::size() const
{
    int total = 0;
    for (const Segment &segment : m_segments)
        total += segment.values.size();
    return total;
}

double ClotCurve::x(int i) const
{
    if (i < 0)
        return 0.0;
    for (const Segment &segment : m_segments) {
        if (i < segment.values.size())
            return segment.start + double(i) * segment.step;
        i -= segment.values.size();
    }
    return 0.0;
}

double ClotCurve::y(int i) const
{
    if (i < 0)
        return 0.0;
    for (const Segment &segment : m_segments) {
        if (i < segment.values.size())
            return segment.values.at(i);
        i -= segment.values.size();
    }
    return 0.0;
}

void ClotCurve::remove(int from, int count)
{
    if (from < 0 || count <= 0)
        return;
    int position = from;
    int remaining = count;
    int s = 0;
    while (s < m_segments.size() && remaining > 0) {
        const int size = m_segments.at(s).values.size();
        if (position < size) {
            const int removed = std::min(remaining, size - position);
            QVector<double> &values = m_segments[s].values;
            values.remove(position, removed);
            remaining -= removed;
            if (values.isEmpty()) {
                // The next segment moves into this place; the removal goes on at its first point.
                m_segments.remove(s);
                position = 0;
                continue;
            }
        }
        position -= m_segments.at(s).values.size();
        ++s;
    }
}

ClotCurve ClotCurve::simplified() const
{
    return *this;
}

ClotCurve ClotCurve::toType(PointType type) const
{
    if (type != OpticalDensity || m_type != Raw)
        return *this;

    ClotCurve result = simplified();
    result.m_type = OpticalDensity;
    if (!result.m_segments.isEmpty())
        convertToOpticalDensity(result.m_segments.first());
    return result;
}
