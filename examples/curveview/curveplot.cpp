#include "curveplot.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QColor rawColor(31, 96, 176);
const QColor densityColor(200, 56, 40);
const QColor baselineColor(255, 214, 102, 110);
const QColor gridColor(228, 228, 228);

// The baseline window of the optical density: one x unit from x 3.0, or from the start of the
// first segment when that lies later.
constexpr double baselineStart = 3.0;
constexpr double baselineLength = 1.0;

// An axis range with round tick marks.
struct Axis
{
    double low = 0.0;
    double high = 1.0;
    double tick = 0.1;
};

// A tick spacing of 1, 2 or 5 times a power of ten that cuts span into at most about count
// parts.
double niceTick(double span, int count)
{
    const double rough = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const double fraction = rough / magnitude;
    const double nice = fraction <= 1.0 ? 1.0
        : fraction <= 2.0               ? 2.0
        : fraction <= 5.0               ? 5.0
                                        : 10.0;
    return nice * magnitude;
}

Axis niceAxis(double low, double high, int ticks)
{
    if (!(low <= high) || !std::isfinite(high - low))
        return Axis();
    if (high - low < 1e-9 * std::max(1.0, std::abs(high))) {
        // A flat line still gets an axis around it.
        const double pad = std::max(1.0, std::abs(high) * 0.1);
        low -= pad;
        high += pad;
    }
    Axis axis;
    axis.tick = niceTick(high - low, ticks);
    axis.low = std::floor(low / axis.tick) * axis.tick;
    axis.high = std::ceil(high / axis.tick) * axis.tick;
    return axis;
}

// The smallest and largest finite x and y of the curve's points.
struct Extent
{
    double xLow = std::numeric_limits<double>::infinity();
    double xHigh = -std::numeric_limits<double>::infinity();
    double yLow = std::numeric_limits<double>::infinity();
    double yHigh = -std::numeric_limits<double>::infinity();

    bool isEmpty() const { return xLow > xHigh; }
    void add(const ClotCurve &curve)
    {
        for (const ClotCurve::Segment &segment : curve.segments()) {
            for (int i = 0; i < segment.values.size(); ++i) {
                const double x = segment.start + i * segment.step;
                const double y = segment.values.at(i);
                if (!std::isfinite(x) || !std::isfinite(y))
                    continue;
                xLow = std::min(xLow, x);
                xHigh = std::max(xHigh, x);
                yLow = std::min(yLow, y);
                yHigh = std::max(yHigh, y);
            }
        }
    }
};

// Maps curve coordinates into the plot rectangle of the image.
class Frame
{
public:
    Frame(const QRectF &area, const Axis &x, const Axis &y) : m_area(area), m_x(x), m_y(y) { }

    double px(double x) const
    {
        return m_area.left() + (x - m_x.low) / (m_x.high - m_x.low) * m_area.width();
    }
    double py(double y) const
    {
        return m_area.bottom() - (y - m_y.low) / (m_y.high - m_y.low) * m_area.height();
    }

private:
    QRectF m_area;
    Axis m_x;
    Axis m_y;
};

// The values of an axis from low to high in tick steps, counted rather than summed so that
// rounding errors do not add up.
QVector<double> tickValues(const Axis &axis)
{
    QVector<double> values;
    const int count = static_cast<int>(std::lround((axis.high - axis.low) / axis.tick));
    for (int i = 0; i <= count; ++i)
        values.append(axis.low + i * axis.tick);
    return values;
}

QString tickLabel(double value, const Axis &axis)
{
    // A value that is 0 but for the rounding of the tick steps.
    if (std::abs(value) < axis.tick * 1e-6)
        value = 0.0;
    return QString::number(value, 'g', 6);
}

// Each segment as a line of its own: segments need not join. A value that is not finite breaks
// the line.
void drawCurve(QPainter &painter, const ClotCurve &curve, const Frame &frame, const QColor &color)
{
    painter.setPen(QPen(color, 1.6));
    for (const ClotCurve::Segment &segment : curve.segments()) {
        QPainterPath path;
        bool drawing = false;
        for (int i = 0; i < segment.values.size(); ++i) {
            const double x = segment.start + i * segment.step;
            const double y = segment.values.at(i);
            if (!std::isfinite(x) || !std::isfinite(y)) {
                drawing = false;
                continue;
            }
            const QPointF point(frame.px(x), frame.py(y));
            if (drawing)
                path.lineTo(point);
            else
                path.moveTo(point);
            drawing = true;
        }
        painter.drawPath(path);
    }
}

void drawLegendEntry(QPainter &painter, const QPointF &at, const QColor &color, const QString &text)
{
    painter.setPen(QPen(color, 3));
    painter.drawLine(at, at + QPointF(24, 0));
    painter.setPen(Qt::black);
    painter.drawText(at + QPointF(30, 5), text);
}

} // namespace

QImage plotCurve(const ClotCurve &raw, const ClotCurve &density, const QString &title)
{
    QImage image(plotWidth, plotHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    const QRectF area(90, 60, plotWidth - 180, plotHeight - 130);

    Extent rawExtent;
    rawExtent.add(raw);
    Extent densityExtent;
    densityExtent.add(density);
    Extent all = rawExtent;
    all.add(density);

    const Axis xAxis = all.isEmpty() ? Axis() : niceAxis(std::min(all.xLow, 0.0), all.xHigh, 12);
    const Axis rawAxis
        = rawExtent.isEmpty() ? Axis() : niceAxis(rawExtent.yLow, rawExtent.yHigh, 8);
    const Axis densityAxis = densityExtent.isEmpty()
        ? Axis()
        : niceAxis(std::min(densityExtent.yLow, 0.0), densityExtent.yHigh, 8);
    const Frame rawFrame(area, xAxis, rawAxis);
    const Frame densityFrame(area, xAxis, densityAxis);

    // The baseline window, under everything else.
    const QVector<ClotCurve::Segment> segments
        = raw.isEmpty() ? density.segments() : raw.segments();
    if (!segments.isEmpty() && std::isfinite(segments.first().start)) {
        const double from = std::max(segments.first().start, baselineStart);
        const QRectF window(QPointF(rawFrame.px(from), area.top()),
                            QPointF(rawFrame.px(from + baselineLength), area.bottom()));
        painter.fillRect(window.intersected(area), baselineColor);
        painter.setPen(QColor(150, 110, 0));
        painter.drawText(window.topLeft() + QPointF(3, 15), QStringLiteral("baseline"));
    }

    // Grid and ticks: x below, raw counts on the left, optical density on the right.
    const QVector<double> xTicks = tickValues(xAxis);
    for (double x : xTicks) {
        const double px = rawFrame.px(x);
        painter.setPen(gridColor);
        painter.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(px, area.bottom()), QPointF(px, area.bottom() + 5));
        const QString label = tickLabel(x, xAxis);
        painter.drawText(QPointF(px - metrics.horizontalAdvance(label) / 2.0, area.bottom() + 20),
                         label);
    }
    if (!raw.isEmpty()) {
        for (double y : tickValues(rawAxis)) {
            const double py = rawFrame.py(y);
            painter.setPen(gridColor);
            painter.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
            painter.setPen(rawColor);
            painter.drawLine(QPointF(area.left() - 5, py), QPointF(area.left(), py));
            const QString label = tickLabel(y, rawAxis);
            painter.drawText(QPointF(area.left() - 9 - metrics.horizontalAdvance(label), py + 4),
                             label);
        }
    }
    for (double y : tickValues(densityAxis)) {
        const double py = densityFrame.py(y);
        painter.setPen(densityColor);
        painter.drawLine(QPointF(area.right(), py), QPointF(area.right() + 5, py));
        painter.drawText(QPointF(area.right() + 9, py + 4), tickLabel(y, densityAxis));
    }

    painter.setPen(Qt::black);
    painter.drawRect(area);
    const QString xTitle = QStringLiteral("time (s)");
    painter.drawText(
        QPointF(area.center().x() - metrics.horizontalAdvance(xTitle) / 2.0, area.bottom() + 42),
        xTitle);
    if (!raw.isEmpty()) {
        painter.save();
        painter.translate(24, area.center().y());
        painter.rotate(-90);
        painter.setPen(rawColor);
        const QString rawTitle = QStringLiteral("raw reading (detector counts)");
        painter.drawText(QPointF(-metrics.horizontalAdvance(rawTitle) / 2.0, 0), rawTitle);
        painter.restore();
    }
    painter.save();
    painter.translate(plotWidth - 20, area.center().y());
    painter.rotate(90);
    painter.setPen(densityColor);
    const QString densityTitle = QStringLiteral("optical density (absorbance units)");
    painter.drawText(QPointF(-metrics.horizontalAdvance(densityTitle) / 2.0, 0), densityTitle);
    painter.restore();

    painter.setClipRect(area);
    if (!raw.isEmpty())
        drawCurve(painter, raw, rawFrame, rawColor);
    drawCurve(painter, density, densityFrame, densityColor);
    painter.setClipping(false);

    QFont titleFont = font;
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(area.left(), 30), title);
    painter.setFont(font);
    const double legendX = area.right() - 300;
    if (!raw.isEmpty())
        drawLegendEntry(painter, QPointF(legendX, 26), rawColor, QStringLiteral("raw reading"));
    drawLegendEntry(painter, QPointF(legendX + 140, 26), densityColor,
                    QStringLiteral("optical density"));
    return image;
}
