#include <analysisresult.h>

#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ClotCurve::PointType)

namespace {

using Values = QVector<double>;

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

// (start 0, step 0.5, values 1..4) and (start 10, step 1, values 5..7)
ClotCurve twoSegments()
{
    ClotCurve curve;
    curve.append(0.0, 0.5, { 1, 2, 3, 4 });
    curve.append(10.0, 1.0, { 5, 6, 7 });
    return curve;
}

// The segments as "start+step:v,v|start+step:v": a difference shows where it lies.
QString describe(const ClotCurve &curve)
{
    QStringList segments;
    for (const ClotCurve::Segment &segment : curve.segments()) {
        QStringList values;
        for (const double value : segment.values)
            values << QString::number(value);
        segments << QStringLiteral("%1+%2:%3")
                        .arg(segment.start)
                        .arg(segment.step)
                        .arg(values.join(QLatin1Char(',')));
    }
    return segments.join(QLatin1Char('|'));
}

Values ramp(int count)
{
    Values values(count);
    for (int i = 0; i < count; ++i)
        values[i] = 1.0 + i;
    return values;
}

bool sameDoubles(const Values &a, const Values &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i]))))
            return false;
    }
    return true;
}

QByteArray show(const Values &values)
{
    QStringList texts;
    for (const double value : values)
        texts << QString::number(value, 'g', 17);
    return texts.join(QLatin1Char(' ')).toUtf8();
}

} // namespace

class tst_ClotCurve : public QObject
{
    Q_OBJECT

private slots:
    void newCurve();
    void segmentWithoutValuesIsNotEmpty();
    void lookup_data();
    void lookup();
    void remove_data();
    void remove();
    void removedPointsGiveTheirPlaceToLaterOnes();
    void copiesShareThePoints();
    void conversionWindow_data();
    void conversionWindow();
    void darkReadingsAreCapped_data();
    void darkReadingsAreCapped();
    void unusableFirstSegment_data();
    void unusableFirstSegment();
    void onlyTheFirstSegmentIsConverted();
    void unsupportedConversions_data();
    void unsupportedConversions();
};

void tst_ClotCurve::newCurve()
{
    const ClotCurve curve;
    QVERIFY(curve.isEmpty());
    QCOMPARE(curve.size(), 0);
    QCOMPARE(curve.x(0), 0.0);
    QCOMPARE(curve.y(0), 0.0);
    QCOMPARE(curve.type(), ClotCurve::Raw);
}

void tst_ClotCurve::segmentWithoutValuesIsNotEmpty()
{
    ClotCurve curve;
    curve.append(ClotCurve::Segment{ 1.0, 0.1, {} });
    QVERIFY(!curve.isEmpty());
    QCOMPARE(curve.size(), 0);
    QCOMPARE(curve.x(0), 0.0);
}

void tst_ClotCurve::lookup_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    QTest::newRow("first point") << 0 << 0.0 << 1.0;
    QTest::newRow("last of first segment") << 3 << 1.5 << 4.0;
    QTest::newRow("first of second segment") << 4 << 10.0 << 5.0;
    QTest::newRow("last point") << 6 << 12.0 << 7.0;
    QTest::newRow("just past the end") << 7 << 0.0 << 0.0;
    QTest::newRow("far past the end") << std::numeric_limits<int>::max() << 0.0 << 0.0;
    QTest::newRow("negative") << -1 << 0.0 << 0.0;
    QTest::newRow("most negative") << std::numeric_limits<int>::min() << 0.0 << 0.0;
}

void tst_ClotCurve::lookup()
{
    QFETCH(int, index);
    const ClotCurve curve = twoSegments();
    QCOMPARE(curve.size(), 7);
    QTEST(curve.x(index), "x");
    QTEST(curve.y(index), "y");
}

void tst_ClotCurve::remove_data()
{
    QTest::addColumn<ClotCurve>("curve");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");

    const ClotCurve two = twoSegments();
    const QString unchanged = QStringLiteral("0+0.5:1,2,3,4|10+1:5,6,7");
    QTest::newRow("across the segment boundary")
        << two << 2 << 3 << QStringLiteral("0+0.5:1,2|10+1:6,7");
    QTest::newRow("a whole segment") << two << 0 << 4 << QStringLiteral("10+1:5,6,7");
    QTest::newRow("everything") << two << 0 << 7 << QString();
    QTest::newRow("inside a segment") << two << 1 << 1 << QStringLiteral("0+0.5:1,3,4|10+1:5,6,7");
    QTest::newRow("past the end") << two << 5 << 100 << QStringLiteral("0+0.5:1,2,3,4|10+1:5");
    QTest::newRow("largest count")
        << two << 1 << std::numeric_limits<int>::max() << QStringLiteral("0+0.5:1");
    QTest::newRow("from at the end") << two << 7 << 1 << unchanged;
    QTest::newRow("count 0") << two << 0 << 0 << unchanged;
    QTest::newRow("negative from") << two << -1 << 3 << unchanged;
    QTest::newRow("negative count") << two << 2 << -1 << unchanged;

    ClotCurve withEmpty;
    withEmpty.append(0.0, 1.0, { 1, 2 });
    withEmpty.append(5.0, 1.0, {});
    withEmpty.append(9.0, 1.0, { 3, 4 });
    QTest::newRow("passes a segment that was already empty")
        << withEmpty << 1 << 2 << QStringLiteral("0+1:1|5+1:|9+1:4");
    QTest::newRow("empties the segment before an empty one")
        << withEmpty << 0 << 2 << QStringLiteral("5+1:|9+1:3,4");
}

void tst_ClotCurve::remove()
{
    QFETCH(ClotCurve, curve);
    QFETCH(int, from);
    QFETCH(int, count);
    curve.remove(from, count);
    QTEST(describe(curve), "expected");
}

void tst_ClotCurve::removedPointsGiveTheirPlaceToLaterOnes()
{
    ClotCurve curve = twoSegments();
    curve.remove(1, 1);
    QCOMPARE(curve.y(1), 3.0);
    QCOMPARE(curve.x(1), 0.5);

    curve = twoSegments();
    curve.remove(2, 3);
    QCOMPARE(curve.y(2), 6.0);
    QCOMPARE(curve.x(2), 10.0);
    QCOMPARE(curve.x(3), 11.0);
}

void tst_ClotCurve::copiesShareThePoints()
{
    ClotCurve curve = twoSegments();
    const double *points = curve.segments().at(0).values.constData();

    const ClotCurve copy = curve;
    QCOMPARE(copy.segments().at(0).values.constData(), points);
    QCOMPARE(curve.simplified().segments().at(0).values.constData(), points);
    QCOMPARE(curve.toType(ClotCurve::Raw).segments().at(0).values.constData(), points);
    // Only the converted segment gets points of its own.
    QCOMPARE(curve.toType(ClotCurve::OpticalDensity).segments().at(1).values.constData(),
             curve.segments().at(1).values.constData());

    curve.remove(0, 1);
    QCOMPARE(describe(copy), QStringLiteral("0+0.5:1,2,3,4|10+1:5,6,7"));
    QCOMPARE(copy.segments().at(0).values.constData(), points);
}

void tst_ClotCurve::conversionWindow_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("windowStart");
    QTest::addColumn<int>("windowLength");

    QTest::newRow("step 0.1") << 0.0 << 0.1 << 100 << 30 << 10;
    QTest::newRow("step 0.2") << 0.0 << 0.2 << 40 << 15 << 5;
    QTest::newRow("step 4.0: N(0.25) is 0, raised to 1") << 0.0 << 4.0 << 5 << 1 << 1;
    QTest::newRow("start 0.5, step 0.2: N(12.5) is 13") << 0.5 << 0.2 << 40 << 13 << 5;
    QTest::newRow("start at 3.0") << 3.0 << 0.1 << 40 << 0 << 10;
    QTest::newRow("start past 3.0") << 7.5 << 0.1 << 40 << 0 << 10;
    QTest::newRow("window cut short by the end") << 0.0 << 0.1 << 33 << 30 << 3;
    QTest::newRow("one point in the window") << 0.0 << 0.1 << 31 << 30 << 1;
    QTest::newRow("step so large the window has one point") << 0.0 << 1e300 << 4 << 0 << 1;
}

void tst_ClotCurve::conversionWindow()
{
    QFETCH(double, start);
    QFETCH(double, step);
    QFETCH(int, count);
    QFETCH(int, windowStart);
    QFETCH(int, windowLength);

    ClotCurve raw;
    raw.append(start, step, ramp(count));
    const ClotCurve converted = raw.toType(ClotCurve::OpticalDensity);
    QCOMPARE(converted.type(), ClotCurve::OpticalDensity);
    QCOMPARE(raw.type(), ClotCurve::Raw);
    QCOMPARE(raw.segments().at(0).values, ramp(count));

    const Values readings = ramp(count);
    double sum = 0.0;
    for (int i = windowStart; i < windowStart + windowLength; ++i)
        sum += readings[i];
    const double baseline = sum / windowLength;
    Values expected(count, 0.0);
    for (int j = windowStart + windowLength / 2; j < count; ++j)
        expected[j] = std::min(5.0, std::log10(baseline / readings[j]));

    const ClotCurve::Segment segment = converted.segments().at(0);
    QCOMPARE(segment.start, start);
    QCOMPARE(segment.step, step);
    QVERIFY2(sameDoubles(segment.values, expected), show(segment.values));
}

void tst_ClotCurve::darkReadingsAreCapped_data()
{
    QTest::addColumn<double>("reading");
    QTest::addColumn<double>("density");

    QTest::newRow("no light") << 0.0 << 5.0;
    QTest::newRow("negative reading") << -3.0 << 5.0;
    QTest::newRow("a thousandth of the baseline") << 0.002 << 3.0;
    QTest::newRow("brighter than the baseline") << 20.0 << -1.0;
    QTest::newRow("infinite reading") << infinity << -infinity;
    QTest::newRow("reading that is not a number") << notANumber << notANumber;
}

void tst_ClotCurve::darkReadingsAreCapped()
{
    QFETCH(double, reading);
    QFETCH(double, density);
    Values readings(60, 2.0);
    readings[50] = reading;
    ClotCurve raw;
    raw.append(0.0, 0.1, readings);
    const Values densities = raw.toType(ClotCurve::OpticalDensity).segments().at(0).values;
    if (std::isnan(density))
        QVERIFY2(std::isnan(densities[50]), show(densities));
    else
        QCOMPARE(densities[50], density);
    QCOMPARE(densities[49], 0.0);
}

void tst_ClotCurve::unusableFirstSegment_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("step");
    QTest::addColumn<Values>("readings");

    const Values good = ramp(60);
    QTest::newRow("ends before x 3.0") << 0.0 << 0.1 << ramp(30);
    QTest::newRow("step 0") << 0.0 << 0.0 << good;
    QTest::newRow("step 0 from x 3.0") << 3.0 << 0.0 << good;
    QTest::newRow("negative step") << 0.0 << -0.1 << good;
    QTest::newRow("negative step from x 5.0") << 5.0 << -0.1 << good;
    QTest::newRow("step is not a number") << 0.0 << notANumber << good;
    QTest::newRow("infinite step") << 0.0 << infinity << good;
    QTest::newRow("tiny step") << 0.0 << 1e-300 << good;
    QTest::newRow("start is not a number") << notANumber << 0.1 << good;
    QTest::newRow("start at minus infinity") << -infinity << 0.1 << good;
    QTest::newRow("start at infinity") << infinity << 0.1 << good;
    QTest::newRow("baseline 0") << 0.0 << 0.1 << Values(60, 0.0);
    QTest::newRow("negative baseline") << 0.0 << 0.1 << Values(60, -1.0);
    Values infiniteBaseline = good;
    infiniteBaseline[31] = infinity;
    QTest::newRow("infinite baseline") << 0.0 << 0.1 << infiniteBaseline;
    Values unknownBaseline = good;
    unknownBaseline[31] = notANumber;
    QTest::newRow("baseline that is not a number") << 0.0 << 0.1 << unknownBaseline;
}

void tst_ClotCurve::unusableFirstSegment()
{
    QFETCH(double, start);
    QFETCH(double, step);
    QFETCH(Values, readings);
    ClotCurve raw;
    raw.append(start, step, readings);
    raw.append(20.0, 0.1, { 1.0, 2.0 });

    const ClotCurve converted = raw.toType(ClotCurve::OpticalDensity);
    QCOMPARE(converted.type(), ClotCurve::OpticalDensity);
    QCOMPARE(converted.segments().size(), 2);
    QVERIFY2(sameDoubles(converted.segments().at(0).values, Values(readings.size(), 0.0)),
             show(converted.segments().at(0).values));
    QCOMPARE(converted.segments().at(1).values, Values({ 1.0, 2.0 }));
}

void tst_ClotCurve::onlyTheFirstSegmentIsConverted()
{
    ClotCurve raw;
    raw.append(0.0, 0.1, ramp(40));
    raw.append(4.0, 0.1, ramp(40));
    const ClotCurve converted = raw.toType(ClotCurve::OpticalDensity);
    QCOMPARE(converted.segments().at(0).values.at(0), 0.0);
    QCOMPARE(converted.segments().at(1).values, ramp(40));
}

void tst_ClotCurve::unsupportedConversions_data()
{
    QTest::addColumn<ClotCurve>("curve");
    QTest::addColumn<ClotCurve::PointType>("to");
    QTest::addColumn<ClotCurve::PointType>("type");
    QTest::addColumn<QString>("segments");

    ClotCurve density;
    density.append(0.0, 0.1, { 0.5, 0.25 });
    density.setType(ClotCurve::OpticalDensity);
    QTest::newRow("optical density to raw")
        << density << ClotCurve::Raw << ClotCurve::OpticalDensity
        << QStringLiteral("0+0.1:0.5,0.25");
    QTest::newRow("optical density to optical density")
        << density << ClotCurve::OpticalDensity << ClotCurve::OpticalDensity
        << QStringLiteral("0+0.1:0.5,0.25");
    QTest::newRow("empty raw curve to optical density")
        << ClotCurve() << ClotCurve::OpticalDensity << ClotCurve::OpticalDensity << QString();

    ClotCurve unknown = density;
    unknown.setType(ClotCurve::PointType(7));
    QTest::newRow("a type from a newer application")
        << unknown << ClotCurve::OpticalDensity << ClotCurve::PointType(7)
        << QStringLiteral("0+0.1:0.5,0.25");
}

void tst_ClotCurve::unsupportedConversions()
{
    QFETCH(ClotCurve, curve);
    QFETCH(ClotCurve::PointType, to);
    const ClotCurve converted = curve.toType(to);
    QTEST(converted.type(), "type");
    QTEST(describe(converted), "segments");
}

QTEST_GUILESS_MAIN(tst_ClotCurve)
#include "tst_clotcurve.moc"
