#include <analysisresult.h>
#include <profile.h>

#include "libraryfixture.h"

#include <QTest>

#include <functional>

using Change = std::function<void(AnalysisResult &)>;
Q_DECLARE_METATYPE(Change)
Q_DECLARE_METATYPE(AnalysisResult::ErrorCode)
Q_DECLARE_METATYPE(AnalysisResult::Format)

namespace {

AnalysisResult withFlags(double value, int flags)
{
    AnalysisResult result(value);
    result.setFlags(flags);
    return result;
}

AnalysisResult withErrorText(const QString &text)
{
    AnalysisResult result(12.3);
    result.setErrorText(text);
    return result;
}

AnalysisResult withError(double value, AnalysisResult::ErrorCode error)
{
    AnalysisResult result(value);
    result.setError(error);
    return result;
}

// Every field, so that a change that leaks into another copy shows.
QString describe(const AnalysisResult &result)
{
    return QStringLiteral("id %1 value %2 od %3 flags %4 error %5 text '%6' curve %7 ch %8")
        .arg(result.id())
        .arg(result.value())
        .arg(result.od())
        .arg(result.flags())
        .arg(result.error())
        .arg(result.errorText())
        .arg(result.curve().size())
        .arg(result.ch());
}

} // namespace

class tst_AnalysisResult : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void nullResult();
    void valueClassifiesTheResult_data();
    void valueClassifiesTheResult();
    void toString_data();
    void toString();
    void marks_data();
    void marks();
    void configuredTexts();
    void errorTexts_data();
    void errorTexts();
    void errorTextAcrossChanges();
    void copiesShareTheRecord();
    void everySetterDetaches_data();
    void everySetterDetaches();
    void flags();
    void curveIsShared();

private:
    LibraryFixture m_fixture;
};

void tst_AnalysisResult::init()
{
    QVERIFY(m_fixture.init());
}

void tst_AnalysisResult::cleanup()
{
    QVERIFY(m_fixture.cleanup().isEmpty());
}

void tst_AnalysisResult::nullResult()
{
    const AnalysisResult result;
    QVERIFY(result.isNull());
    QVERIFY(!result.isValid());
    QCOMPARE(result.error(), AnalysisResult::NullResult);
    QCOMPARE(result.value(), 0.0);
    QCOMPARE(double(result), 0.0);
    QCOMPARE(result.od(), AnalysisResult::invalidOD);
    QCOMPARE(result.toString(AnalysisResult::Full, 'f', 2), QString());
    QVERIFY(!result.toVariant().isValid());
    QCOMPARE(result.errorText(), QStringLiteral("结果为空"));
    QCOMPARE(describe(result),
             QStringLiteral("id 0 value 0 od 0 flags 0 error 3 text '结果为空' curve 0 ch 0"));
    QCOMPARE(result.curve().type(), ClotCurve::Raw);
    QVERIFY(result.curve().isEmpty());
    QVERIFY(result.isCopyOf(AnalysisResult()));
}

void tst_AnalysisResult::valueClassifiesTheResult_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<AnalysisResult::ErrorCode>("error");
    QTest::addColumn<QVariant>("variant");

    QTest::newRow("a value") << 12.3 << AnalysisResult::NoError << QVariant(12.3);
    QTest::newRow("nullValue") << 0.0 << AnalysisResult::NullResult << QVariant();
    QTest::newRow("negative zero is nullValue") << -0.0 << AnalysisResult::NullResult << QVariant();
    QTest::newRow("notClottedValue") << 999.9 << AnalysisResult::NotClotted << QVariant(999.9);
    QTest::newRow("next to notClottedValue")
        << 999.9000000000001 << AnalysisResult::NoError << QVariant(999.9000000000001);
    QTest::newRow("negative") << -1.5 << AnalysisResult::NoError << QVariant(-1.5);
}

void tst_AnalysisResult::valueClassifiesTheResult()
{
    QFETCH(double, value);
    QFETCH(AnalysisResult::ErrorCode, error);
    QFETCH(QVariant, variant);

    AnalysisResult constructed(value);
    QCOMPARE(constructed.error(), error);
    QCOMPARE(constructed.isValid(), error == AnalysisResult::NoError);
    QCOMPARE(constructed.toVariant(), variant);
    QCOMPARE(constructed.toVariant().userType(), variant.userType());
    QCOMPARE(constructed.value(), value);

    AnalysisResult set(AnalysisResult::InvalidValue);
    set.setValue(value);
    QCOMPARE(set.error(), error);
}

void tst_AnalysisResult::toString_data()
{
    QTest::addColumn<AnalysisResult>("result");
    QTest::addColumn<AnalysisResult::Format>("format");
    QTest::addColumn<char>("numberFormat");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");

    const auto full = AnalysisResult::Full;
    const auto valueOnly = AnalysisResult::ValueOnly;
    QTest::newRow("value only") << AnalysisResult(12.3) << valueOnly << 'f' << 2
                                << QStringLiteral("12.30");
    QTest::newRow("full without marks")
        << AnalysisResult(5.0) << full << 'f' << 1 << QStringLiteral("5.0");
    QTest::newRow("prefix and suffix") << withFlags(5.0, cg::BelowReportLimit | cg::AboveMarkLimit)
                                       << full << 'f' << 1 << QStringLiteral("< 5.0 ↑");
    QTest::newRow("prefix only") << withFlags(5.0, cg::AboveReportLimit) << full << 'f' << 1
                                 << QStringLiteral("> 5.0");
    QTest::newRow("suffix only") << withFlags(5.0, cg::BelowMarkLimit) << full << 'f' << 1
                                 << QStringLiteral("5.0 ↓");
    QTest::newRow("marks left out of value only")
        << withFlags(5.0, cg::BelowReportLimit | cg::AboveMarkLimit) << valueOnly << 'f' << 1
        << QStringLiteral("5.0");
    QTest::newRow("any format but Full is value only")
        << withFlags(5.0, cg::BelowReportLimit) << AnalysisResult::Format(7) << 'f' << 1
        << QStringLiteral("5.0");
    QTest::newRow("exponent format")
        << AnalysisResult(1234.5678) << full << 'E' << 2 << QStringLiteral("1.23E+03");
    QTest::newRow("general format")
        << AnalysisResult(0.000012345) << full << 'g' << 3 << QStringLiteral("1.23e-05");
    QTest::newRow("not clotted") << AnalysisResult(999.9) << full << 'f' << 1
                                 << QStringLiteral("不凝");
    QTest::newRow("not clotted by code")
        << AnalysisResult(AnalysisResult::NotClotted) << full << 'f' << 1 << QStringLiteral("不凝");
    QTest::newRow("another error with the not-clotted value")
        << withError(999.9, AnalysisResult::InvalidValue) << full << 'f' << 1
        << QStringLiteral("不凝");
    QTest::newRow("error text") << withErrorText(QStringLiteral("试剂不足")) << full << 'f' << 1
                                << QStringLiteral("---.-");
    QTest::newRow("error code") << AnalysisResult(AnalysisResult::NoStandardCurve) << valueOnly
                                << 'f' << 1 << QStringLiteral("---.-");
    QTest::newRow("error code the library does not know")
        << AnalysisResult(AnalysisResult::ErrorCode(42)) << full << 'f' << 1
        << QStringLiteral("---.-");
    QTest::newRow("null") << AnalysisResult(0.0) << full << 'f' << 1 << QString();
    QTest::newRow("null by code") << AnalysisResult(AnalysisResult::NullResult) << full << 'f' << 1
                                  << QString();
}

void tst_AnalysisResult::toString()
{
    QFETCH(AnalysisResult, result);
    QFETCH(AnalysisResult::Format, format);
    QFETCH(char, numberFormat);
    QFETCH(int, precision);
    QTEST(result.toString(format, numberFormat, precision), "text");
}

void tst_AnalysisResult::marks_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("none") << 0 << QString() << QString();
    QTest::newRow("all prefix flags")
        << int(cg::ManualInput | cg::DilutedResult | cg::BelowReportLimit | cg::AboveReportLimit)
        << QStringLiteral("M!<") << QString();
    QTest::newRow("manual input and above the report limit")
        << int(cg::ManualInput | cg::AboveReportLimit) << QStringLiteral("M>") << QString();
    QTest::newRow("diluted") << int(cg::DilutedResult) << QStringLiteral("!") << QString();
    QTest::newRow("both mark limits")
        << int(cg::BelowMarkLimit | cg::AboveMarkLimit) << QString() << QStringLiteral("↓");
    QTest::newRow("above the mark limit")
        << int(cg::AboveMarkLimit) << QString() << QStringLiteral("↑");
    QTest::newRow("manual test has no mark") << int(cg::ManualTest) << QString() << QString();
    QTest::newRow("the application's own bits")
        << int(0x1 | 0x40 | 0x100000) << QString() << QString();
}

void tst_AnalysisResult::marks()
{
    QFETCH(int, flags);
    const AnalysisResult result = withFlags(5.0, flags);
    QTEST(result.prefix(), "prefix");
    QTEST(result.suffix(), "suffix");
    QCOMPARE(result.flags(), flags);
}

void tst_AnalysisResult::configuredTexts()
{
    Profile &profile = Profile::instance();
    const QString manual = profile.manual_input_flag(QStringLiteral("M"));
    const QString lowerMark = profile.lower_mark_limit_flag(QStringLiteral("↓"));
    const QString notClotted = profile.result_not_clotted(QStringLiteral("不凝"));
    const QString notCalculated = profile.result_can_not_be_calculated(QStringLiteral("---.-"));

    profile.set_manual_input_flag(QStringLiteral("手"), false);
    profile.set_lower_mark_limit_flag(QStringLiteral("L"), false);
    profile.set_result_not_clotted(QStringLiteral("NC"), false);
    profile.set_result_can_not_be_calculated(QStringLiteral("***"), false);

    QCOMPARE(
        withFlags(2.5, cg::ManualInput | cg::BelowMarkLimit).toString(AnalysisResult::Full, 'f', 1),
        QStringLiteral("手 2.5 L"));
    QCOMPARE(AnalysisResult(999.9).toString(AnalysisResult::Full, 'f', 1), QStringLiteral("NC"));
    QCOMPARE(AnalysisResult(AnalysisResult::InvalidValue).toString(AnalysisResult::Full, 'f', 1),
             QStringLiteral("***"));

    profile.set_manual_input_flag(manual, false);
    profile.set_lower_mark_limit_flag(lowerMark, false);
    profile.set_result_not_clotted(notClotted, false);
    profile.set_result_can_not_be_calculated(notCalculated, false);
}

void tst_AnalysisResult::errorTexts_data()
{
    QTest::addColumn<AnalysisResult::ErrorCode>("error");
    QTest::addColumn<QString>("text");

    QTest::newRow("NoError") << AnalysisResult::NoError << QString();
    QTest::newRow("InvalidValue") << AnalysisResult::InvalidValue << QStringLiteral("无效的值");
    QTest::newRow("UnknownError") << AnalysisResult::UnknownError << QStringLiteral("未知错误");
    QTest::newRow("NullResult") << AnalysisResult::NullResult << QStringLiteral("结果为空");
    QTest::newRow("NoStandardCurve")
        << AnalysisResult::NoStandardCurve << QStringLiteral("无标准曲线");
    QTest::newRow("InvalidStandardCurve")
        << AnalysisResult::InvalidStandardCurve << QStringLiteral("标准曲线无效");
    QTest::newRow("StandardCurveSettingError")
        << AnalysisResult::StandardCurveSettingError << QStringLiteral("标准曲线设置错误");
    QTest::newRow("InvalidCalculationMethod")
        << AnalysisResult::InvalidCalculationMethod << QStringLiteral("无效的计算方法");
    QTest::newRow("MissingParameter")
        << AnalysisResult::MissingParameter << QStringLiteral("计算所需的参数不存在");
    QTest::newRow("NotClotted") << AnalysisResult::NotClotted << QString();
    QTest::newRow("a code the library does not know") << AnalysisResult::ErrorCode(-1) << QString();
}

void tst_AnalysisResult::errorTexts()
{
    QFETCH(AnalysisResult::ErrorCode, error);
    const AnalysisResult result(error);
    QCOMPARE(result.error(), error);
    QCOMPARE(result.value(), 0.0);
    QTEST(result.errorText(), "text");
    QCOMPARE(result.toVariant().isValid(),
             error == AnalysisResult::NoError || error == AnalysisResult::NotClotted);
}

void tst_AnalysisResult::errorTextAcrossChanges()
{
    AnalysisResult result(12.3);
    result.setErrorText(QStringLiteral("试剂不足"));
    QCOMPARE(result.error(), AnalysisResult::UnknownError);
    QCOMPARE(result.errorText(), QStringLiteral("试剂不足"));
    QVERIFY(!result.toVariant().isValid());

    result.setValue(7.0);
    QCOMPARE(result.error(), AnalysisResult::NoError);
    QCOMPARE(result.errorText(), QStringLiteral("试剂不足"));

    result.setError(AnalysisResult::InvalidValue);
    QCOMPARE(result.errorText(), QStringLiteral("无效的值"));

    result.setErrorText(QStringLiteral("x"));
    result.clearErrorText();
    QCOMPARE(result.error(), AnalysisResult::UnknownError);
    QCOMPARE(result.errorText(), QStringLiteral("未知错误"));

    QCOMPARE(AnalysisResult(AnalysisResult::NotClotted).toVariant(), QVariant(0.0));
}

void tst_AnalysisResult::copiesShareTheRecord()
{
    const AnalysisResult first(12.3);
    AnalysisResult copy = first;
    QVERIFY(copy.isCopyOf(first));
    copy.setValue(4.0);
    QVERIFY(!copy.isCopyOf(first));
    QCOMPARE(first.value(), 12.3);
    QCOMPARE(copy.value(), 4.0);

    AnalysisResult assigned;
    assigned = first;
    QVERIFY(assigned.isCopyOf(first));
    QCOMPARE(assigned.value(), 12.3);

    // The sole owner of its record assigned to itself must not free the record first.
    AnalysisResult only(7.0);
    const AnalysisResult &alias = only;
    only = alias;
    QCOMPARE(only.value(), 7.0);

    AnalysisResult nullOne;
    nullOne.setId(5);
    QVERIFY(!nullOne.isCopyOf(AnalysisResult()));
    QCOMPARE(AnalysisResult().id(), 0);
}

void tst_AnalysisResult::everySetterDetaches_data()
{
    QTest::addColumn<Change>("change");

    QTest::newRow("setValue") << Change([](AnalysisResult &r) { r.setValue(1.0); });
    QTest::newRow("setOD") << Change([](AnalysisResult &r) { r.setOD(0.5); });
    QTest::newRow("setCurve") << Change([](AnalysisResult &r) {
        ClotCurve curve;
        curve.append(0.0, 0.1, { 1.0 });
        r.setCurve(curve);
    });
    QTest::newRow("setId") << Change([](AnalysisResult &r) { r.setId(9); });
    QTest::newRow("setCh") << Change([](AnalysisResult &r) { r.setCh(3); });
    QTest::newRow("setFlags") << Change([](AnalysisResult &r) { r.setFlags(0x40); });
    QTest::newRow("setFlag") << Change(
        [](AnalysisResult &r) { r.setFlag(cg::DilutedResult, true); });
    QTest::newRow("setManualTest") << Change([](AnalysisResult &r) { r.setManualTest(true); });
    QTest::newRow("setError") << Change(
        [](AnalysisResult &r) { r.setError(AnalysisResult::NoStandardCurve); });
    QTest::newRow("setErrorText") << Change(
        [](AnalysisResult &r) { r.setErrorText(QStringLiteral("e")); });
    QTest::newRow("clearErrorText") << Change([](AnalysisResult &r) { r.clearErrorText(); });
}

void tst_AnalysisResult::everySetterDetaches()
{
    QFETCH(Change, change);
    AnalysisResult original(12.3);
    original.setErrorText(QStringLiteral("原来"));
    const QString before = describe(original);

    AnalysisResult copy = original;
    change(copy);
    QVERIFY(!copy.isCopyOf(original));
    QCOMPARE(describe(original), before);

    AnalysisResult fromNull;
    change(fromNull);
    QVERIFY(!fromNull.isCopyOf(AnalysisResult()));
    QVERIFY(AnalysisResult().isNull());
    QCOMPARE(describe(AnalysisResult()),
             QStringLiteral("id 0 value 0 od 0 flags 0 error 3 text '结果为空' curve 0 ch 0"));
}

void tst_AnalysisResult::flags()
{
    AnalysisResult result(1.0);
    result.setFlags(int(cg::BelowMarkLimit) | 0x40000);
    QVERIFY(result.testFlag(cg::ResultFlag(cg::BelowMarkLimit | cg::AboveMarkLimit)));
    QVERIFY(!result.testFlag(cg::AboveMarkLimit));
    result.setFlag(cg::ResultFlag(cg::DilutedResult | cg::ManualInput), true);
    QCOMPARE(result.flags(),
             int(cg::BelowMarkLimit | cg::DilutedResult | cg::ManualInput) | 0x40000);
    result.setFlag(cg::BelowMarkLimit, false);
    QCOMPARE(result.flags(), int(cg::DilutedResult | cg::ManualInput) | 0x40000);

    result.setFlags(0);
    result.setManualTest(true);
    QVERIFY(result.isManualTest());
    QCOMPARE(result.flags(), 0x1000);
    QCOMPARE(result.prefix(), QString());
    result.setManualTest(false);
    QCOMPARE(result.flags(), 0);
}

void tst_AnalysisResult::curveIsShared()
{
    ClotCurve curve;
    curve.append(0.0, 0.1, { 1.0, 2.0 });
    AnalysisResult result(3.0);
    result.setCurve(curve);
    QCOMPARE(result.curve().segments().at(0).values.constData(),
             curve.segments().at(0).values.constData());
    const AnalysisResult copy = result;
    QCOMPARE(copy.curve().size(), 2);
}

QTEST_MAIN(tst_AnalysisResult)
#include "tst_analysisresult.moc"
