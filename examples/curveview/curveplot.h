#ifndef CURVEPLOT_H
#define CURVEPLOT_H

#include <analysisresult.h>

#include <QImage>
#include <QString>

// The picture of one test: the raw readings (left axis, detector counts) and the optical density
// made from them (right axis, absorbance units) over time, with the baseline window that the
// density is measured against. A raw curve without segments is left out, for a record that was
// stored as densities already.
QImage plotCurve(const ClotCurve &raw, const ClotCurve &density, const QString &title);

// The size of every picture, so that pictures of different tests line up.
constexpr int plotWidth = 1000;
constexpr int plotHeight = 600;

#endif // CURVEPLOT_H
