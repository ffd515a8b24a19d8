// The client's view: <cmath> and the library's helpers in one translation unit, so that
// ::round(double) and round(double, int, char) are both callable.
#include <cmath>

#include <cgglobal.h>
#include <profile.h>

#include "libraryfixture.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(cg::SampleType)

class tst_NumberHelpers : public QObject
{
    Q_OBJECT

private slots:
    void fraction_data();
    void fraction();
    void rounding_data();
    void rounding();
    void roundBesideTheStandardLibrary();
    void eval_data();
    void eval();
    void evalStartsAfreshEachCall();
    void dilutionList();
    void samplePrefix_data();
    void samplePrefix();
    void configuredSamplePrefix();
};

void tst_NumberHelpers::fraction_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("result");
    QTest::addColumn<bool>("found");

    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("slash") << QStringLiteral("3/4") << 0.75 << true;
    QTest::newRow("colon with spaces") << QStringLiteral("1 : 10") << 0.1 << true;
    QTest::newRow("tab and newline") << QStringLiteral("1\t/\n4") << 0.25 << true;
    QTest::newRow("negative numerator") << QStringLiteral("-1/2") << -0.5 << true;
    QTest::newRow("negative denominator") << QStringLiteral("1/-2") << -0.5 << true;
    QTest::newRow("plus signs") << QStringLiteral("+1/+2") << 0.5 << true;
    QTest::newRow("decimal numerator") << QStringLiteral("1.5/3") << 0.5 << true;
    QTest::newRow("trailing point") << QStringLiteral("5./2") << 2.5 << true;
    QTest::newRow("leading point is skipped") << QStringLiteral(".5/2") << 2.5 << true;
    QTest::newRow("first ratio only") << QStringLiteral("1/2/4") << 0.5 << true;
    QTest::newRow("inside text") << QStringLiteral("dilute 1/10 now") << 0.1 << true;
    QTest::newRow("no exponents") << QStringLiteral("1e3/2") << 1.5 << true;
    // The number conversion reads ASCII digits only; a match on others would give NaN.
    QTest::newRow("full-width digits are not read")
        << QStringLiteral("\uff11/\uff14") << 0.0 << false;
    QTest::newRow("numerator past double's range")
        << QString(400, QLatin1Char('9')) + QStringLiteral("/1") << infinity << true;
    QTest::newRow("zero denominator") << QStringLiteral("1/0") << infinity << true;
    QTest::newRow("negative over zero") << QStringLiteral("-1/0") << -infinity << true;
    QTest::newRow("zero over zero") << QStringLiteral("0/0") << qQNaN() << true;
    QTest::newRow("no ratio") << QStringLiteral("10") << 0.0 << false;
    QTest::newRow("empty") << QString() << 0.0 << false;
    QTest::newRow("letters") << QStringLiteral("a/b") << 0.0 << false;
    QTest::newRow("sign without digits") << QStringLiteral("-/2") << 0.0 << false;
}

void tst_NumberHelpers::fraction()
{
    QFETCH(QString, text);
    QFETCH(double, result);
    QFETCH(bool, found);

    bool ok = !found;
    const double value = ::fraction(text, &ok);
    QCOMPARE(ok, found);
    if (std::isnan(result))
        QVERIFY(std::isnan(value));
    else
        QCOMPARE(value, result);

    const double withoutFlag = ::fraction(text, nullptr);
    QVERIFY(withoutFlag == value || (std::isnan(withoutFlag) && std::isnan(value)));
}

void tst_NumberHelpers::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<char>("format");
    QTest::addColumn<double>("result");

    QTest::newRow("fixed") << 1234.5678 << 2 << 'f' << 1234.57;
    QTest::newRow("2.675 lies below the midpoint") << 2.675 << 2 << 'f' << 2.67;
    QTest::newRow("1.005 lies below the midpoint") << 1.005 << 2 << 'f' << 1.0;
    QTest::newRow("negative") << -1234.5678 << 1 << 'f' << -1234.6;
    QTest::newRow("no decimals") << 2.5 << 0 << 'f' << 3.0;
    QTest::newRow("general") << 99.96 << 3 << 'g' << 100.0;
    QTest::newRow("general, upper case") << 99.96 << 3 << 'G' << 100.0;
    QTest::newRow("exponent") << 1234.5678 << 3 << 'e' << 1235.0;
    QTest::newRow("exponent, upper case") << 1234.5678 << 3 << 'E' << 1235.0;
    QTest::newRow("tiny") << 0.000123456 << 2 << 'e' << 0.000123;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 2 << 'f'
                              << std::numeric_limits<double>::infinity();
}

void tst_NumberHelpers::rounding()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(char, format);
    QTEST(::round(value, precision, format), "result");
}

namespace {

// Calls as a client writes them, unqualified.
QList<double> clientRoundings()
{
    return { round(2.5), std::round(-2.5), round(2.675, 2, 'f') };
}

} // namespace

void tst_NumberHelpers::roundBesideTheStandardLibrary()
{
    QCOMPARE(clientRoundings(), (QList<double>{ 3.0, -3.0, 2.67 }));
}

void tst_NumberHelpers::eval_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("result");

    QTest::newRow("sum of whole numbers is a double") << QStringLiteral("1+2") << QVariant(3.0);
    QTest::newRow("division") << QStringLiteral("1/4") << QVariant(0.25);
    QTest::newRow("math") << QStringLiteral("Math.max(2, 7) * 10") << QVariant(70.0);
    QTest::newRow("string") << QStringLiteral("'a' + 'b'") << QVariant(QStringLiteral("ab"));
    QTest::newRow("truth value") << QStringLiteral("2 > 1") << QVariant(true);
    QTest::newRow("empty program") << QString() << QVariant();
    QTest::newRow("last statement counts") << QStringLiteral("var a = 4; a * a") << QVariant(16.0);
}

void tst_NumberHelpers::eval()
{
    QFETCH(QString, text);
    QFETCH(QVariant, result);
    const QVariant value = ::eval(text);
    QCOMPARE(value.userType(), result.userType());
    QCOMPARE(value, result);
}

void tst_NumberHelpers::evalStartsAfreshEachCall()
{
    QCOMPARE(::eval(QStringLiteral("x = 5")), QVariant(5.0));
    const QVariant next = ::eval(QStringLiteral("x"));
    QVERIFY(next != QVariant(5.0));
    // An error is no number: callers tell a usable result by its type.
    QVERIFY(next.userType() != QMetaType::Double);
    QVERIFY(::eval(QStringLiteral("1 +")).userType() != QMetaType::Double);
}

void tst_NumberHelpers::dilutionList()
{
    QStringList list = ::dilutionList();
    QCOMPARE(list,
             QStringList({ QStringLiteral("1/1"), QStringLiteral("1/2"), QStringLiteral("1/4"),
                           QStringLiteral("1/5"), QStringLiteral("1/8"), QStringLiteral("1/10"),
                           QStringLiteral("1/16"), QStringLiteral("1/20"), QStringLiteral("1/30"),
                           QStringLiteral("1/40"), QStringLiteral("1/50"), QStringLiteral("1/80"),
                           QStringLiteral("1/100"), QStringLiteral("1/160"),
                           QStringLiteral("1/320"), QStringLiteral("2/5"), QStringLiteral("3/4"),
                           QStringLiteral("3/5"), QStringLiteral("4/5") }));
    for (const QString &ratio : list) {
        bool ok = false;
        QVERIFY(::fraction(ratio, &ok) > 0.0);
        QVERIFY(ok);
    }
    list[0] = QStringLiteral("changed");
    list.removeLast();
    QCOMPARE(::dilutionList().size(), 19);
    QCOMPARE(::dilutionList().first(), QStringLiteral("1/1"));
}

void tst_NumberHelpers::samplePrefix_data()
{
    QTest::addColumn<cg::SampleType>("type");
    QTest::addColumn<QString>("prefix");

    QTest::newRow("routine") << cg::RoutineSample << QString();
    QTest::newRow("statim") << cg::StatimSample << QStringLiteral("S");
    QTest::newRow("quality control") << cg::QcSample << QStringLiteral("QC");
    QTest::newRow("another type") << cg::SampleType(7) << QString();
    QTest::newRow("negative type") << cg::SampleType(-1) << QString();
}

void tst_NumberHelpers::samplePrefix()
{
    LibraryFixture fixture;
    QVERIFY(fixture.init());
    QFETCH(cg::SampleType, type);
    QTEST(::samplePrefix(type), "prefix");
    QVERIFY(fixture.cleanup().isEmpty());
}

void tst_NumberHelpers::configuredSamplePrefix()
{
    LibraryFixture fixture;
    QVERIFY(fixture.init());
    Profile &profile = Profile::instance();
    const QString statim = profile.statim_sample_prefix(QStringLiteral("S"));
    profile.set_statim_sample_prefix(QStringLiteral("急"), false);
    QCOMPARE(::samplePrefix(cg::StatimSample), QStringLiteral("急"));
    QCOMPARE(::samplePrefix(cg::QcSample), QStringLiteral("QC"));
    profile.set_statim_sample_prefix(statim, false);
    QVERIFY(fixture.cleanup().isEmpty());
}

QTEST_MAIN(tst_NumberHelpers)
#include "tst_numberhelpers.moc"
