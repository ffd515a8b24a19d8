#include <profile.h>

#include "profilefixture.h"

#include <QTest>

namespace {

// Every named getter called with its type's default, by the setting's key.
QVariantMap allGetters(Profile &profile)
{
    QVariantMap result;
#define CALL_GETTER(key, Type) \
    result.insert(QStringLiteral(#key), QVariant::fromValue(profile.key(Type())));
    CORE_PROFILE_NAMED_SETTINGS(CALL_GETTER)
#undef CALL_GETTER
    return result;
}

} // namespace

class tst_ProfileSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everySettingReadsTheRowOfItsKey();
    void storedValueWinsOverDefault_data();
    void storedValueWinsOverDefault();
    void firstDefaultSticks();
    void setterWithSaveWritesTheRow_data();
    void setterWithSaveWritesTheRow();
    void setterWithoutSaveStaysInProcess();
    void setValueDoesNotReachFilledSlot();
    void valuesComeBackInNewProcess_data();
    void valuesComeBackInNewProcess();

private:
    ProfileFixture m_fixture;
};

void tst_ProfileSettings::init()
{
    QVERIFY(m_fixture.init());
}

void tst_ProfileSettings::cleanup()
{
    QVERIFY(m_fixture.cleanup().isEmpty());
}

void tst_ProfileSettings::everySettingReadsTheRowOfItsKey()
{
    // The settings the application stores, with their types, as its files hold them.
    const QList<QPair<QString, QVariant>> settings = {
        { QStringLiteral("statim_sample_prefix"), QStringLiteral("急") },
        { QStringLiteral("qc_sample_prefix"), QStringLiteral("质控") },
        { QStringLiteral("result_is_preparing"), QStringLiteral("准备") },
        { QStringLiteral("result_can_not_be_calculated"), QStringLiteral("***") },
        { QStringLiteral("result_is_incubating"), QStringLiteral("孵育") },
        { QStringLiteral("result_is_analysing"), QStringLiteral("分析") },
        { QStringLiteral("result_not_clotted"), QStringLiteral("NC") },
        { QStringLiteral("dilution_result_flag"), QStringLiteral("D") },
        { QStringLiteral("lower_report_limit_flag"), QStringLiteral("L") },
        { QStringLiteral("upper_report_limit_flag"), QStringLiteral("H") },
        { QStringLiteral("lower_mark_limit_flag"), QStringLiteral("v") },
        { QStringLiteral("upper_mark_limit_flag"), QStringLiteral("^") },
        { QStringLiteral("manual_input_flag"), QStringLiteral("手") },
        { QStringLiteral("color_of_waiting"), QColor(0x10, 0x20, 0x30) },
        { QStringLiteral("color_of_dispensing"), QColor(0x11, 0x21, 0x31) },
        { QStringLiteral("color_of_incubating"), QColor(0x12, 0x22, 0x32) },
        { QStringLiteral("color_of_analysing"), QColor(0x13, 0x23, 0x33) },
        { QStringLiteral("color_of_null_result"), QColor(0x14, 0x24, 0x34) },
        { QStringLiteral("analysis_display_assay"), QStringLiteral("PT,APTT") },
        { QStringLiteral("patient_display_fields"), QStringLiteral("name,age") },
        { QStringLiteral("max_qc_file"), 30 },
        { QStringLiteral("qc_method"), 2 },
        { QStringLiteral("hospital"), QStringLiteral("市第一人民医院") },
        { QStringLiteral("is_touch_screen"), true },
    };
    QStringList rows;
    for (const auto &setting : settings) {
        const QVariant &v = setting.second;
        const QString literal = v.userType() == QMetaType::QColor
            ? QStringLiteral("'%1'").arg(v.value<QColor>().name())
            : v.userType() == QMetaType::QString ? QStringLiteral("'%1'").arg(v.toString())
                                                 : QString::number(v.toInt());
        rows << Workspace::settingInsert(setting.first, literal);
    }
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"), rows));

    Profile profile(QStringLiteral("profile.db"));
    const QVariantMap got = allGetters(profile);
    QCOMPARE(got.size(), settings.size());
    for (const auto &setting : settings) {
        QVERIFY2(got.contains(setting.first), qPrintable(setting.first));
        QCOMPARE(got.value(setting.first), setting.second);
    }
}

void tst_ProfileSettings::storedValueWinsOverDefault_data()
{
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QString>("getter");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("text") << QStringLiteral("'A'") << QStringLiteral("hospital")
                          << QVariant(QStringLiteral("A"));
    QTest::newRow("text from a number")
        << QStringLiteral("5") << QStringLiteral("hospital") << QVariant(QStringLiteral("5"));
    QTest::newRow("integer from text")
        << QStringLiteral("'12'") << QStringLiteral("max_qc_file") << QVariant(12);
    QTest::newRow("integer from text that is no number")
        << QStringLiteral("'many'") << QStringLiteral("max_qc_file") << QVariant(0);
    QTest::newRow("colour from its name")
        << QStringLiteral("'#ff0000'") << QStringLiteral("color_of_waiting")
        << QVariant(QColor(Qt::red));
    QTest::newRow("boolean from 0")
        << QStringLiteral("0") << QStringLiteral("is_touch_screen") << QVariant(false);
    QTest::newRow("boolean from 'true'")
        << QStringLiteral("'true'") << QStringLiteral("is_touch_screen") << QVariant(true);
}

void tst_ProfileSettings::storedValueWinsOverDefault()
{
    QFETCH(QString, literal);
    QFETCH(QString, getter);
    QFETCH(QVariant, expected);
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"),
                               { Workspace::settingInsert(getter, literal) }));

    Profile profile(QStringLiteral("profile.db"));
    QVariant got;
    if (getter == QLatin1String("hospital"))
        got = profile.hospital(QStringLiteral("default"));
    else if (getter == QLatin1String("max_qc_file"))
        got = profile.max_qc_file(99);
    else if (getter == QLatin1String("color_of_waiting"))
        got = profile.color_of_waiting(Qt::blue);
    else
        got = profile.is_touch_screen(!expected.toBool());
    QCOMPARE(got, expected);
}

void tst_ProfileSettings::firstDefaultSticks()
{
    Profile profile(QStringLiteral("profile.db"));
    QCOMPARE(profile.hospital(QStringLiteral("A")), QStringLiteral("A"));
    QCOMPARE(profile.hospital(QStringLiteral("B")), QStringLiteral("A"));
    QCOMPARE(profile.max_qc_file(3), 3);
    QCOMPARE(profile.max_qc_file(4), 3);
    // Only the cache learnt that the key has no value; the table did not get the default.
    QCOMPARE(profile.value(QStringLiteral("hospital"), QStringLiteral("C")),
             QVariant(QStringLiteral("C")));
    QCOMPARE(Workspace::storedSetting(QStringLiteral("hospital")), QVariant());
}

void tst_ProfileSettings::setterWithSaveWritesTheRow_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<QVariant>("stored");

    QTest::newRow("text") << QStringLiteral("hospital") << QVariant(QStringLiteral("X"));
    QTest::newRow("colour") << QStringLiteral("color_of_null_result")
                            << QVariant(QStringLiteral("#0a141e"));
    QTest::newRow("integer") << QStringLiteral("qc_method") << QVariant(qlonglong(2));
    QTest::newRow("boolean") << QStringLiteral("is_touch_screen") << QVariant(qlonglong(1));
}

void tst_ProfileSettings::setterWithSaveWritesTheRow()
{
    QFETCH(QString, setter);
    QFETCH(QVariant, stored);

    Profile profile(QStringLiteral("profile.db"));
    QVariant got;
    if (setter == QLatin1String("hospital")) {
        profile.set_hospital(QStringLiteral("X"), true);
        got = profile.hospital(QStringLiteral("default"));
    } else if (setter == QLatin1String("color_of_null_result")) {
        profile.set_color_of_null_result(QColor(10, 20, 30), true);
        got = profile.color_of_null_result(Qt::blue).name();
    } else if (setter == QLatin1String("qc_method")) {
        profile.set_qc_method(2, true);
        got = qlonglong(profile.qc_method(0));
    } else {
        profile.set_is_touch_screen(true, true);
        got = qlonglong(profile.is_touch_screen(false));
    }
    QCOMPARE(Workspace::storedSetting(setter), stored);
    QCOMPARE(got.toString(), stored.toString());
}

void tst_ProfileSettings::setterWithoutSaveStaysInProcess()
{
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { Workspace::settingInsert(QStringLiteral("hospital"), QStringLiteral("'stored'")) }));
    Profile profile(QStringLiteral("profile.db"));
    profile.set_hospital(QStringLiteral("X"), false);
    QCOMPARE(profile.hospital(QStringLiteral("default")), QStringLiteral("X"));
    QCOMPARE(profile.value(QStringLiteral("hospital")), QVariant(QStringLiteral("X")));
    QCOMPARE(Workspace::storedSetting(QStringLiteral("hospital")),
             QVariant(QStringLiteral("stored")));
    QCOMPARE(probeInNewProcess({ QStringLiteral("hospital") }), QStringLiteral("stored"));
}

void tst_ProfileSettings::setValueDoesNotReachFilledSlot()
{
    Profile profile(QStringLiteral("profile.db"));
    QCOMPARE(profile.hospital(QStringLiteral("A")), QStringLiteral("A"));
    profile.setValue(QStringLiteral("hospital"), QStringLiteral("Y"), true);
    QCOMPARE(profile.hospital(QStringLiteral("A")), QStringLiteral("A"));
    QCOMPARE(profile.value(QStringLiteral("hospital")), QVariant(QStringLiteral("Y")));
    profile.remove(QStringLiteral("hospital"));
    QCOMPARE(profile.hospital(QStringLiteral("B")), QStringLiteral("A"));
    // The setting's own setter is the way to change what its getter returns.
    profile.set_hospital(QStringLiteral("Z"), false);
    QCOMPARE(profile.hospital(QStringLiteral("A")), QStringLiteral("Z"));
}

void tst_ProfileSettings::valuesComeBackInNewProcess_data()
{
    QTest::addColumn<QString>("getter");
    QTest::addColumn<QString>("expected");

    QTest::newRow("colour") << QStringLiteral("color_of_waiting") << QStringLiteral("#ff0a141e");
    QTest::newRow("boolean") << QStringLiteral("is_touch_screen") << QStringLiteral("true");
    QTest::newRow("integer") << QStringLiteral("max_qc_file") << QStringLiteral("40");
    QTest::newRow("text") << QStringLiteral("hospital") << QStringLiteral("县医院 'east'");
}

void tst_ProfileSettings::valuesComeBackInNewProcess()
{
    QFETCH(QString, getter);
    QFETCH(QString, expected);
    {
        Profile profile(QStringLiteral("profile.db"));
        // The alpha channel is not stored: the colour comes back opaque.
        profile.set_color_of_waiting(QColor(10, 20, 30, 128), true);
        profile.set_is_touch_screen(true, true);
        profile.set_max_qc_file(40, true);
        profile.set_hospital(QStringLiteral("县医院 'east'"), true);
    }
    QCOMPARE(probeInNewProcess({ getter }), expected);
}

QTEST_MAIN(tst_ProfileSettings)
#include "tst_profilesettings.moc"
