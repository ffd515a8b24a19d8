#include <cgglobal.h>

#include "libraryfixture.h"
#include "warninglog.h"

#include <QDate>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlRecord>
#include <QTest>

namespace {

const QString patientTable
    = QStringLiteral("create table patient (id integer primary key, sampleNo, date)");
const QDate day(2024, 5, 1);

QString patient(const QString &sampleNo, const QString &date = QStringLiteral("'2024-05-01'"))
{
    return QStringLiteral("insert into patient (sampleNo, date) values (%1, %2)")
        .arg(sampleNo, date);
}

} // namespace

class tst_SampleNumbers : public QObject
{
    Q_OBJECT

private slots:
    void nextSampleNo_data();
    void nextSampleNo();
    void nextSampleNoWithoutPatientTable();
    void setGeneratedValue_data();
    void setGeneratedValue();
    void generatedFieldsAreWritten();
};

void tst_SampleNumbers::nextSampleNo_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("next");

    QTest::newRow("day without patients") << QStringList() << day << 1;
    QTest::newRow("numbers stored as text")
        << QStringList{ patient(QStringLiteral("'1'")), patient(QStringLiteral("'2'")),
                        patient(QStringLiteral("'10'")) }
        << day << 11;
    QTest::newRow("numbers stored as integers")
        << QStringList{ patient(QStringLiteral("3")), patient(QStringLiteral("25")) } << day << 26;
    QTest::newRow("leading integer of the text")
        << QStringList{ patient(QStringLiteral("'12A'")) } << day << 13;
    QTest::newRow("numbers without a leading digit")
        << QStringList{ patient(QStringLiteral("'S1'")), patient(QStringLiteral("'QC20'")) } << day
        << 1;
    QTest::newRow("other days do not count")
        << QStringList{ patient(QStringLiteral("'5'")),
                        patient(QStringLiteral("'40'"), QStringLiteral("'2024-05-02'")),
                        patient(QStringLiteral("'41'"), QStringLiteral("'2024/05/01'")) }
        << day << 6;
    QTest::newRow("null date matches no row")
        << QStringList{ patient(QStringLiteral("'5'"), QStringLiteral("null")) } << QDate() << 1;
    QTest::newRow("negative numbers")
        << QStringList{ patient(QStringLiteral("'-5'")), patient(QStringLiteral("'-9'")) } << day
        << -4;
    QTest::newRow("largest int") << QStringList{ patient(QStringLiteral("'2147483646'")) } << day
                                 << 2147483647;
    QTest::newRow("no room above")
        << QStringList{ patient(QStringLiteral("'2147483647'")) } << day << 2147483647;
    QTest::newRow("past int's range")
        << QStringList{ patient(QStringLiteral("'9223372036854775807'")) } << day << 2147483647;
}

void tst_SampleNumbers::nextSampleNo()
{
    QFETCH(QStringList, rows);
    QFETCH(QDate, date);
    LibraryFixture fixture;
    QVERIFY(fixture.init(QStringList{ QStringLiteral("drop table patient"), patientTable } + rows));
    WarningLog log;
    QTEST(::nextSampleNo(date), "next");
    QCOMPARE(log.warnings(), QStringList());
    QVERIFY(fixture.cleanup().isEmpty());
}

void tst_SampleNumbers::nextSampleNoWithoutPatientTable()
{
    LibraryFixture fixture;
    QVERIFY(fixture.init({ QStringLiteral("drop table patient"),
                           QStringLiteral("create table curve (patientId)") }));
    QStringList warnings;
    {
        WarningLog log;
        QCOMPARE(::nextSampleNo(day), 1);
        warnings = log.warnings();
    }
    QCOMPARE(warnings.size(), 2);
    QVERIFY2(warnings[0].startsWith(QStringLiteral(".\\cgglobal(145): QSqlError(\"")),
             qPrintable(warnings[0]));
    QVERIFY2(warnings[0].contains(QLatin1String("no such table: patient")),
             qPrintable(warnings[0]));
    QVERIFY2(warnings[1].startsWith(QStringLiteral(".\\cgglobal(148): QSqlError(\"")),
             qPrintable(warnings[1]));
    QVERIFY(fixture.cleanup().isEmpty());
}

void tst_SampleNumbers::setGeneratedValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("field");

    QTest::newRow("exact name") << QStringLiteral("sampleNo") << 1;
    QTest::newRow("name in other case") << QStringLiteral("SAMPLENO") << 1;
    QTest::newRow("name the record lacks") << QStringLiteral("age") << -1;
    QTest::newRow("empty name") << QString() << -1;
}

void tst_SampleNumbers::setGeneratedValue()
{
    QFETCH(QString, name);
    QFETCH(int, field);
    QSqlRecord record;
    record.append(QSqlField(QStringLiteral("id"), QVariant::Int));
    record.append(QSqlField(QStringLiteral("sampleNo"), QVariant::String));
    record.setGenerated(0, false);
    record.setGenerated(1, false);
    const QSqlRecord before = record;

    ::setGeneratedValue(record, name, QStringLiteral("S12"));
    if (field < 0) {
        QCOMPARE(record, before);
        return;
    }
    QCOMPARE(record.value(field), QVariant(QStringLiteral("S12")));
    QVERIFY(record.isGenerated(field));
    QVERIFY(!record.isGenerated(0));
    QVERIFY(record.isNull(0));
}

void tst_SampleNumbers::generatedFieldsAreWritten()
{
    // Only generated fields reach the statements the SQL layer builds from a record.
    LibraryFixture fixture;
    QVERIFY(fixture.init());
    const QSqlDatabase db = Profile::instance().dataDatabase();
    QSqlRecord record = db.record(QStringLiteral("patient"));
    for (int i = 0; i < record.count(); ++i)
        record.setGenerated(i, false);
    ::setGeneratedValue(record, QStringLiteral("SampleNo"), QStringLiteral("7"));
    QCOMPARE(db.driver()->sqlStatement(QSqlDriver::InsertStatement, QStringLiteral("patient"),
                                       record, false),
             QStringLiteral("INSERT INTO \"patient\" (\"sampleNo\") VALUES ('7')"));
    QVERIFY(fixture.cleanup().isEmpty());
}

QTEST_MAIN(tst_SampleNumbers)
#include "tst_samplenumbers.moc"
