#include "syntheticcurve.h"

#include <QRandomGenerator>

#include <cmath>

ClotCurve syntheticClotCurve()
{
    constexpr double step = 0.1;
    constexpr int points = 600;
    constexpr double clear = 3200.0; // counts through the unclotted sample
    constexpr double drop = 1150.0; // light the finished clot holds back
    constexpr double clottingTime = 12.0; // s, the steepest point of the drop
    constexpr double steepness = 0.9; // 1/s

    QRandomGenerator noise(20240301);
    QVector<double> values;
    values.reserve(points);
    for (int i = 0; i < points; ++i) {
        const double t = i * step;
        const double clotted = 1.0 / (1.0 + std::exp(-steepness * (t - clottingTime)));
        // The sum of four uniform draws: a cheap bell-shaped noise of a few counts.
        double jitter = 0.0;
        for (int k = 0; k < 4; ++k)
            jitter += noise.generateDouble() - 0.5;
        values.append(std::round(clear - drop * clotted + 6.0 * jitter));
    }
    ClotCurve curve;
    curve.append(0.0, step, values);
    return curve;
}
