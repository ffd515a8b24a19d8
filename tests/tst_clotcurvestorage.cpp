#include <analysisresult.h>

#include "libraryfixture.h"
#include "warninglog.h"

#include <QDataStream>
#include <QTest>

#include <cstring>
#include <limits>

namespace {

const QString curveTable
    = QStringLiteral("create table curve (patientId integer, item text, curve blob)");

// The example record: a Raw curve of one segment (start 0.0, step 0.1, values 1.0 and 2.0).
const QByteArray exampleRecord = QByteArray::fromHex("00000000"
                                                     "00000001"
                                                     "0000000000000000"
                                                     "3fb999999999999a"
                                                     "00000002"
                                                     "3ff0000000000000"
                                                     "4000000000000000");

ClotCurve exampleCurve()
{
    ClotCurve curve;
    curve.append(0.0, 0.1, { 1.0, 2.0 });
    return curve;
}

double fromBits(quint64 bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

quint64 bitsOf(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Curves whose records must survive storage unchanged, down to the bits of every double.
QList<QPair<const char *, ClotCurve>> storableCurves()
{
    QList<QPair<const char *, ClotCurve>> curves;
    curves << QPair<const char *, ClotCurve>("example", exampleCurve());

    ClotCurve special;
    special.append(-0.0, std::numeric_limits<double>::infinity(),
                   { std::numeric_limits<double>::quiet_NaN(), fromBits(0x7ff4000000000001),
                     -std::numeric_limits<double>::infinity(), -0.0,
                     std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
                     fromBits(0xfff8000000000abc) });
    curves << QPair<const char *, ClotCurve>("special doubles", special);

    ClotCurve density;
    density.setType(ClotCurve::OpticalDensity);
    density.append(0.0, 0.1, { 0.0, 0.25, 5.0 });
    density.append(12.0, 0.5, {});
    density.append(20.0, 1.0, { 1e-300 });
    curves << QPair<const char *, ClotCurve>("optical density, an empty segment between others",
                                             density);

    ClotCurve onlyEmptySegments;
    onlyEmptySegments.append(1.0, 2.0, {});
    curves << QPair<const char *, ClotCurve>("segments without values", onlyEmptySegments);

    ClotCurve unknownType = exampleCurve();
    unknownType.setType(ClotCurve::PointType(-2));
    curves << QPair<const char *, ClotCurve>("a point type the library does not know", unknownType);
    return curves;
}

// The record as QDataStream writes the same fields with its defaults.
QByteArray dataStreamRecord(const ClotCurve &curve)
{
    QByteArray record;
    QDataStream out(&record, QIODevice::WriteOnly);
    out << qint32(curve.type()) << quint32(curve.segments().size());
    for (const ClotCurve::Segment &segment : curve.segments()) {
        out << segment.start << segment.step << quint32(segment.values.size());
        for (const double value : segment.values)
            out << value;
    }
    return record;
}

QByteArray storedRecord(int patientId, const QString &item)
{
    const QList<QVariantList> rows
        = Workspace::rows(QStringLiteral("data.db"),
                          QStringLiteral("select curve from curve where patientId=%1 and item='%2'")
                              .arg(patientId)
                              .arg(item));
    return rows.size() == 1 ? rows.first().first().toByteArray() : QByteArray("<not one row>");
}

bool sameBits(const ClotCurve &a, const ClotCurve &b)
{
    if (a.type() != b.type() || a.segments().size() != b.segments().size())
        return false;
    for (int s = 0; s < a.segments().size(); ++s) {
        const ClotCurve::Segment &x = a.segments().at(s);
        const ClotCurve::Segment &y = b.segments().at(s);
        if (bitsOf(x.start) != bitsOf(y.start) || bitsOf(x.step) != bitsOf(y.step)
            || x.values.size() != y.values.size())
            return false;
        for (int i = 0; i < x.values.size(); ++i) {
            if (bitsOf(x.values.at(i)) != bitsOf(y.values.at(i)))
                return false;
        }
    }
    return true;
}

} // namespace

class tst_ClotCurveStorage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void exampleRecordByteForByte();
    void exampleRecordDecoded();
    void encoderAgreesWithDataStream_data();
    void encoderAgreesWithDataStream();
    void saveAndLoadKeepEveryBit_data();
    void saveAndLoadKeepEveryBit();
    void headerWithoutSegments();
    void emptyRecordIsANewCurve();
    void truncatedRecords();
    void countsBeyondTheRecord_data();
    void countsBeyondTheRecord();
    void bytesAfterTheRecordAreIgnored();
    void savingAnEmptyCurveDeletesTheKey();
    void savingTwiceInsertsTwice();
    void loadWithoutRecord_data();
    void loadWithoutRecord();
    void loadOfADamagedRecord();
    void failedStatementsAreWarned_data();
    void failedStatementsAreWarned();

private:
    LibraryFixture m_fixture;
};

void tst_ClotCurveStorage::init()
{
    const bool withoutCurveTable
        = QByteArray(QTest::currentTestFunction()) == "failedStatementsAreWarned";
    QVERIFY(m_fixture.init(withoutCurveTable ? QStringList() : QStringList{ curveTable }));
}

void tst_ClotCurveStorage::cleanup()
{
    QVERIFY(m_fixture.cleanup().isEmpty());
}

void tst_ClotCurveStorage::exampleRecordByteForByte()
{
    QCOMPARE(exampleRecord.size(), 44);
    exampleCurve().save(7, QStringLiteral("PT"));
    QCOMPARE(storedRecord(7, QStringLiteral("PT")).toHex(), exampleRecord.toHex());
}

void tst_ClotCurveStorage::exampleRecordDecoded()
{
    const ClotCurve curve = ClotCurve::fromBuffer(exampleRecord);
    QCOMPARE(curve.type(), ClotCurve::Raw);
    QCOMPARE(curve.segments().size(), 1);
    QCOMPARE(curve.size(), 2);
    QCOMPARE(curve.x(0), 0.0);
    QCOMPARE(curve.x(1), 0.1);
    QCOMPARE(curve.y(0), 1.0);
    QCOMPARE(curve.y(1), 2.0);
}

void tst_ClotCurveStorage::encoderAgreesWithDataStream_data()
{
    QTest::addColumn<ClotCurve>("curve");
    for (const auto &entry : storableCurves())
        QTest::newRow(entry.first) << entry.second;
}

void tst_ClotCurveStorage::encoderAgreesWithDataStream()
{
    QFETCH(ClotCurve, curve);
    curve.save(1, QStringLiteral("APTT"));
    QCOMPARE(storedRecord(1, QStringLiteral("APTT")).toHex(), dataStreamRecord(curve).toHex());
}

void tst_ClotCurveStorage::saveAndLoadKeepEveryBit_data()
{
    encoderAgreesWithDataStream_data();
}

void tst_ClotCurveStorage::saveAndLoadKeepEveryBit()
{
    QFETCH(ClotCurve, curve);
    WarningLog log;
    curve.save(3, QStringLiteral("FIB"));
    ClotCurve loaded;
    loaded.load(3, QStringLiteral("FIB"));
    QVERIFY(sameBits(loaded, curve));
    QVERIFY(sameBits(ClotCurve::fromBuffer(storedRecord(3, QStringLiteral("FIB"))), curve));
    QCOMPARE(log.warnings(), QStringList());
}

void tst_ClotCurveStorage::headerWithoutSegments()
{
    WarningLog log;
    const ClotCurve curve = ClotCurve::fromBuffer(QByteArray(8, '\0'));
    QCOMPARE(curve.type(), ClotCurve::Raw);
    QVERIFY(curve.isEmpty());
    QCOMPARE(log.warnings(), QStringList());
}

void tst_ClotCurveStorage::emptyRecordIsANewCurve()
{
    WarningLog log;
    const ClotCurve curve = ClotCurve::fromBuffer(QByteArray());
    QCOMPARE(curve.type(), ClotCurve::Raw);
    QVERIFY(curve.isEmpty());
    QCOMPARE(log.warnings(), QStringList());
}

void tst_ClotCurveStorage::truncatedRecords()
{
    ClotCurve curve;
    curve.setType(ClotCurve::OpticalDensity);
    curve.append(0.0, 0.1, { 1.0, 2.0 });
    curve.append(4.0, 0.2, { 3.0 });
    const QByteArray record = dataStreamRecord(curve);
    for (int length = 1; length < record.size(); ++length) {
        // A copy of its own, so that AddressSanitizer sees any read past the cut.
        const QByteArray cut(record.constData(), length);
        WarningLog log;
        const ClotCurve decoded = ClotCurve::fromBuffer(cut);
        QVERIFY2(decoded.isEmpty(), qPrintable(QString::number(length)));
        QCOMPARE(decoded.type(), ClotCurve::Raw);
        QCOMPARE(
            log.warnings(),
            QStringList(
                QStringLiteral("ClotCurve: Damaged curve record of %1 bytes ignored").arg(length)));
    }
}

void tst_ClotCurveStorage::countsBeyondTheRecord_data()
{
    QTest::addColumn<QByteArray>("record");

    QTest::newRow("segment count 0xFFFFFFFF") << QByteArray::fromHex("00000000ffffffff");
    QTest::newRow("segment count 0xFFFFFFFF, one segment present")
        << QByteArray::fromHex("00000001ffffffff") + exampleRecord.mid(8);
    QTest::newRow("value count 0xFFFFFFFF") << QByteArray::fromHex("0000000000000001"
                                                                   "0000000000000000"
                                                                   "3fb999999999999a"
                                                                   "ffffffff"
                                                                   "3ff0000000000000");
    QTest::newRow("value count one more than present")
        << QByteArray::fromHex("0000000000000001"
                               "0000000000000000"
                               "3fb999999999999a"
                               "00000003"
                               "3ff00000000000004000000000000000");
    QTest::newRow("second segment announced, not present")
        << QByteArray::fromHex("0000000000000002") + exampleRecord.mid(8);
}

void tst_ClotCurveStorage::countsBeyondTheRecord()
{
    QFETCH(QByteArray, record);
    WarningLog log;
    const ClotCurve decoded = ClotCurve::fromBuffer(record);
    QVERIFY(decoded.isEmpty());
    QCOMPARE(log.warnings().size(), 1);
    QVERIFY(log.warnings().first().startsWith(QStringLiteral("ClotCurve: Damaged curve record")));
}

void tst_ClotCurveStorage::bytesAfterTheRecordAreIgnored()
{
    WarningLog log;
    const ClotCurve decoded = ClotCurve::fromBuffer(exampleRecord + QByteArray("\x01\x02\x03", 3));
    QVERIFY(sameBits(decoded, exampleCurve()));
    QCOMPARE(log.warnings(), QStringList());
}

void tst_ClotCurveStorage::savingAnEmptyCurveDeletesTheKey()
{
    QVERIFY(Workspace::execute(QStringLiteral("data.db"),
                               { QStringLiteral("insert into curve values (5, 'PT', x'00')"),
                                 QStringLiteral("insert into curve values (5, 'PT', x'01')"),
                                 QStringLiteral("insert into curve values (5, 'TT', x'02')"),
                                 QStringLiteral("insert into curve values (6, 'PT', x'03')") }));
    ClotCurve().save(5, QStringLiteral("PT"));
    QCOMPARE(Workspace::rows(QStringLiteral("data.db"),
                             QStringLiteral("select patientId, item from curve order by curve")),
             (QList<QVariantList>{ { 5, QStringLiteral("TT") }, { 6, QStringLiteral("PT") } }));
}

void tst_ClotCurveStorage::savingTwiceInsertsTwice()
{
    exampleCurve().save(2, QStringLiteral("PT"));
    exampleCurve().save(2, QStringLiteral("PT"));
    QCOMPARE(Workspace::rows(QStringLiteral("data.db"),
                             QStringLiteral("select count(*) from curve where patientId=2"))
                 .first()
                 .first()
                 .toInt(),
             2);
}

void tst_ClotCurveStorage::loadWithoutRecord_data()
{
    QTest::addColumn<QString>("row");

    QTest::newRow("no row") << QString();
    QTest::newRow("empty value") << QStringLiteral("insert into curve values (4, 'PT', x'')");
    QTest::newRow("null value") << QStringLiteral("insert into curve values (4, 'PT', null)");
    QTest::newRow("row of another item")
        << QStringLiteral("insert into curve values (4, 'TT', x'0000000000000000')");
}

void tst_ClotCurveStorage::loadWithoutRecord()
{
    QFETCH(QString, row);
    if (!row.isEmpty())
        QVERIFY(Workspace::execute(QStringLiteral("data.db"), { row }));
    ClotCurve curve = exampleCurve();
    curve.setType(ClotCurve::OpticalDensity);
    WarningLog log;
    curve.load(4, QStringLiteral("PT"));
    QVERIFY(curve.isEmpty());
    QCOMPARE(curve.type(), ClotCurve::OpticalDensity);
    QCOMPARE(log.warnings(), QStringList());
}

void tst_ClotCurveStorage::loadOfADamagedRecord()
{
    QVERIFY(Workspace::execute(
        QStringLiteral("data.db"),
        { QStringLiteral("insert into curve values (4, 'PT', x'00000000ff')") }));
    ClotCurve curve = exampleCurve();
    curve.setType(ClotCurve::OpticalDensity);
    WarningLog log;
    curve.load(4, QStringLiteral("PT"));
    QVERIFY(curve.isEmpty());
    QCOMPARE(curve.type(), ClotCurve::OpticalDensity);
    QCOMPARE(log.warnings(),
             QStringList(QStringLiteral("ClotCurve: Damaged curve record of 5 bytes ignored")));
}

using CurveOperation = void (*)(ClotCurve &);
Q_DECLARE_METATYPE(CurveOperation)

void tst_ClotCurveStorage::failedStatementsAreWarned_data()
{
    QTest::addColumn<CurveOperation>("operation");
    QTest::addColumn<QStringList>("prefixes");
    QTest::addColumn<int>("pointsAfter");

    QTest::newRow("save of an empty curve")
        << CurveOperation([](ClotCurve &) { ClotCurve().save(1, QStringLiteral("PT")); })
        << QStringList{ QStringLiteral(".\\analysisresult(88):"),
                        QStringLiteral(".\\analysisresult(106):") }
        << 2;
    QTest::newRow("save") << CurveOperation(
        [](ClotCurve &) { exampleCurve().save(1, QStringLiteral("PT")); })
                          << QStringList{ QStringLiteral(".\\analysisresult(94):"),
                                          QStringLiteral(".\\analysisresult(106):") }
                          << 2;
    QTest::newRow("load") << CurveOperation(
        [](ClotCurve &curve) { curve.load(1, QStringLiteral("PT")); })
                          << QStringList{ QStringLiteral(".\\analysisresult(113):"),
                                          QStringLiteral(".\\analysisresult(119):") }
                          // A load whose query fails leaves the curve without segments.
                          << 0;
}

void tst_ClotCurveStorage::failedStatementsAreWarned()
{
    QFETCH(CurveOperation, operation);
    QFETCH(QStringList, prefixes);
    ClotCurve curve = exampleCurve();
    QStringList warnings;
    {
        WarningLog log;
        operation(curve);
        warnings = log.warnings();
    }
    QCOMPARE(warnings.size(), prefixes.size());
    for (int i = 0; i < prefixes.size(); ++i) {
        // The location, a space, then the error as Qt's debug stream prints a QSqlError.
        QVERIFY2(warnings[i].startsWith(prefixes[i] + QStringLiteral(" QSqlError(\"")),
                 qPrintable(warnings[i]));
        QVERIFY2(warnings[i].endsWith(QLatin1String("\")")), qPrintable(warnings[i]));
    }
    QVERIFY2(warnings.first().contains(QLatin1String("no such table: curve")),
             qPrintable(warnings.first()));
    QTEST(curve.size(), "pointsAfter");
}

QTEST_MAIN(tst_ClotCurveStorage)
#include "tst_clotcurvestorage.moc"
