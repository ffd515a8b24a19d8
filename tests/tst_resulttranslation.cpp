#include <analysisresult.h>

#include "libraryfixture.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

// The default texts of a result, translated by the library's English .qm, made by lrelease. A
// process of its own: the named settings remember the first default they are given.
class tst_ResultTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void marksAndResultTexts_data();
    void marksAndResultTexts();
    void errorTexts_data();
    void errorTexts();

private:
    QTranslator m_translator;
    LibraryFixture m_fixture;
};

void tst_ResultTranslation::initTestCase()
{
    QVERIFY(m_translator.load(QStringLiteral(CORE_TRANSLATION)));
    QVERIFY(QCoreApplication::installTranslator(&m_translator));
}

void tst_ResultTranslation::init()
{
    QVERIFY(m_fixture.init());
}

void tst_ResultTranslation::cleanup()
{
    QVERIFY(m_fixture.cleanup().isEmpty());
}

void tst_ResultTranslation::marksAndResultTexts_data()
{
    QTest::addColumn<AnalysisResult>("result");
    QTest::addColumn<QString>("text");

    // The symbols stay; the arrows of the mark limits become the letters of English reports.
    AnalysisResult marked(5.0);
    marked.setFlags(cg::ManualInput | cg::DilutedResult | cg::BelowReportLimit
                    | cg::AboveMarkLimit);
    QTest::newRow("marks") << marked << QStringLiteral("M!< 5.0 H");
    AnalysisResult below(5.0);
    below.setFlags(cg::AboveReportLimit | cg::BelowMarkLimit);
    QTest::newRow("marks above and below") << below << QStringLiteral("> 5.0 L");
    QTest::newRow("not clotted") << AnalysisResult(999.9) << QStringLiteral("Not clotted");
    QTest::newRow("cannot be calculated")
        << AnalysisResult(AnalysisResult::InvalidValue) << QStringLiteral("---.-");
}

void tst_ResultTranslation::marksAndResultTexts()
{
    QFETCH(AnalysisResult, result);
    QTEST(result.toString(AnalysisResult::Full, 'f', 1), "text");
}

void tst_ResultTranslation::errorTexts_data()
{
    QTest::addColumn<AnalysisResult>("result");
    QTest::addColumn<QString>("text");

    const auto code = [](AnalysisResult::ErrorCode error) {
        return AnalysisResult(error);
    };
    QTest::newRow("invalid value")
        << code(AnalysisResult::InvalidValue) << QStringLiteral("Invalid value");
    QTest::newRow("unknown") << code(AnalysisResult::UnknownError)
                             << QStringLiteral("Unknown error");
    QTest::newRow("null") << AnalysisResult() << QStringLiteral("No result");
    QTest::newRow("no standard curve")
        << code(AnalysisResult::NoStandardCurve) << QStringLiteral("No standard curve");
    QTest::newRow("invalid standard curve")
        << code(AnalysisResult::InvalidStandardCurve) << QStringLiteral("Invalid standard curve");
    QTest::newRow("standard curve setting") << code(AnalysisResult::StandardCurveSettingError)
                                            << QStringLiteral("Standard curve set up incorrectly");
    QTest::newRow("calculation method") << code(AnalysisResult::InvalidCalculationMethod)
                                        << QStringLiteral("Invalid calculation method");
    QTest::newRow("missing parameter")
        << code(AnalysisResult::MissingParameter)
        << QStringLiteral("A parameter the calculation needs is missing");
    // A text of the application's own is shown as it stands.
    AnalysisResult custom;
    custom.setErrorText(QStringLiteral("试剂不足"));
    QTest::newRow("own text") << custom << QStringLiteral("试剂不足");
}

void tst_ResultTranslation::errorTexts()
{
    QFETCH(AnalysisResult, result);
    QTEST(result.errorText(), "text");
}

QTEST_MAIN(tst_ResultTranslation)
#include "tst_resulttranslation.moc"
