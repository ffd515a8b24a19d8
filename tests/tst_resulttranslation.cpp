#include <analysisresult.h>

#include "libraryfixture.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

// The default texts of a result, translated by a real .qm made by lrelease. A process of its own:
// the named settings remember the first default they are given.
class tst_ResultTranslation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void marksAndResultTexts_data();
    void marksAndResultTexts();
    void errorTexts();

private:
    QTranslator m_translator;
    LibraryFixture m_fixture;
};

void tst_ResultTranslation::initTestCase()
{
    QVERIFY(m_translator.load(QStringLiteral(RESULTTEXTS_QM)));
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

    AnalysisResult marked(5.0);
    marked.setFlags(cg::ManualInput | cg::DilutedResult | cg::BelowReportLimit
                    | cg::AboveMarkLimit);
    QTest::newRow("marks") << marked << QStringLiteral("MANDLOW 5.0 HIGH");
    QTest::newRow("not clotted") << AnalysisResult(999.9) << QStringLiteral("not clotted");
    QTest::newRow("cannot be calculated")
        << AnalysisResult(AnalysisResult::InvalidValue) << QStringLiteral("n/a");
    // No translation for this one: the source text stands.
    AnalysisResult below(5.0);
    below.setFlag(cg::BelowMarkLimit, true);
    QTest::newRow("untranslated mark") << below << QStringLiteral("5.0 ↓");
}

void tst_ResultTranslation::marksAndResultTexts()
{
    QFETCH(AnalysisResult, result);
    QTEST(result.toString(AnalysisResult::Full, 'f', 1), "text");
}

void tst_ResultTranslation::errorTexts()
{
    QCOMPARE(AnalysisResult(AnalysisResult::InvalidValue).errorText(),
             QStringLiteral("invalid value"));
    QCOMPARE(AnalysisResult().errorText(), QStringLiteral("no result"));
    QCOMPARE(AnalysisResult(AnalysisResult::UnknownError).errorText(), QStringLiteral("未知错误"));
}

QTEST_MAIN(tst_ResultTranslation)
#include "tst_resulttranslation.moc"
