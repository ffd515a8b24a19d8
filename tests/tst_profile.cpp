#include <profile.h>

#include "profilefixture.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

// Runs f on a thread of its own and waits for it.
template<typename F>
void runOnOtherThread(F f)
{
    std::unique_ptr<QThread> thread(QThread::create(f));
    thread->start();
    thread->wait();
}

} // namespace

class tst_Profile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storedValueWinsOverDefault_data();
    void storedValueWinsOverDefault();
    void absentKeyGivesEachCallsDefault();
    void absentKeyIsRememberedAsAbsent();
    void unsavedValueLivesInThisProcessOnly();
    void savedValueReachesTable_data();
    void savedValueReachesTable();
    void invalidValueWithSaveDeletesRow();
    void removeDropsCacheEntryAndRow();
    void removedKeyIsReadAgain();
    void value2_data();
    void value2();
    void keysWithSqlCharactersMatchOnlyTheirRow_data();
    void keysWithSqlCharactersMatchOnlyTheirRow();
    void keysAreCaseSensitive();
    void connections();
    void newerProfileTakesOverConnections();
    void unusableFilesAreReported_data();
    void unusableFilesAreReported();
    void unopenableSettingsFileStillServesDefaults();
    void lookupOnOtherThreadReadsTheTable();
    void writeOnOtherThreadReachesTheTable();
    void otherThreadFollowsNewerProfile();
    void connectionsOnOtherThread();
    // Last: the single instance stays for the rest of the process.
    void instanceIsReachableWhileItsBoxesAreUp();

private:
    ProfileFixture m_fixture;
};

void tst_Profile::init()
{
    QVERIFY(m_fixture.init());
}

void tst_Profile::cleanup()
{
    // A box that a test did not ask for is a fault of its own.
    const QList<ShownMessageBox> unexpected = m_fixture.cleanup();
    for (const ShownMessageBox &box : unexpected)
        qWarning() << "unexpected message box:" << box.text;
    QVERIFY(unexpected.isEmpty());
}

void tst_Profile::storedValueWinsOverDefault_data()
{
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("text") << QStringLiteral("'市第一医院'")
                          << QVariant(QStringLiteral("市第一医院"));
    QTest::newRow("integer") << QStringLiteral("42") << QVariant(qlonglong(42));
    QTest::newRow("real") << QStringLiteral("0.25") << QVariant(0.25);
    QTest::newRow("empty text") << QStringLiteral("''") << QVariant(QStringLiteral(""));
    QTest::newRow("blob") << QStringLiteral("x'00ff'") << QVariant(QByteArray("\x00\xff", 2));
}

void tst_Profile::storedValueWinsOverDefault()
{
    QFETCH(QString, literal);
    QFETCH(QVariant, expected);
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"),
                               { Workspace::settingInsert(QStringLiteral("k"), literal) }));

    Profile profile(QStringLiteral("profile.db"));
    QCOMPARE(profile.value(QStringLiteral("k"), QStringLiteral("default")), expected);
    QCOMPARE(profile.value(QStringLiteral("k")), expected);
}

void tst_Profile::absentKeyGivesEachCallsDefault()
{
    Profile profile(QStringLiteral("profile.db"));
    QCOMPARE(profile.value(QStringLiteral("patient/sampleType"), 1), QVariant(1));
    QCOMPARE(profile.value(QStringLiteral("patient/sampleType"), QStringLiteral("b")),
             QVariant(QStringLiteral("b")));
    QCOMPARE(profile.value(QStringLiteral("patient/sampleType")), QVariant());
    QVERIFY(profile.keys().contains(QStringLiteral("patient/sampleType")));
}

void tst_Profile::absentKeyIsRememberedAsAbsent()
{
    Profile profile(QStringLiteral("profile.db"));
    QCOMPARE(profile.value(QStringLiteral("late"), 0), QVariant(0));
    // Another program writes the row afterwards: the key is known to be absent and stays so.
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { Workspace::settingInsert(QStringLiteral("late"), QStringLiteral("7")) }));
    QCOMPARE(profile.value(QStringLiteral("late"), 0), QVariant(0));
}

void tst_Profile::unsavedValueLivesInThisProcessOnly()
{
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { Workspace::settingInsert(QStringLiteral("stored"), QStringLiteral("'old'")) }));
    Profile profile(QStringLiteral("profile.db"));
    profile.setValue(QStringLiteral("stored"), QStringLiteral("new"), false);
    profile.setValue(QStringLiteral("memory"), 5, false);

    QCOMPARE(profile.value(QStringLiteral("stored")), QVariant(QStringLiteral("new")));
    QCOMPARE(profile.value(QStringLiteral("memory")), QVariant(5));
    QCOMPARE(probeInNewProcess({ QStringLiteral("value"), QStringLiteral("stored") }),
             QStringLiteral("old"));
    QCOMPARE(probeInNewProcess({ QStringLiteral("value"), QStringLiteral("memory") }),
             QStringLiteral("<none>"));
}

void tst_Profile::savedValueReachesTable_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("stored");

    QTest::newRow("text") << QVariant(QStringLiteral("血浆")) << QVariant(QStringLiteral("血浆"));
    QTest::newRow("integer") << QVariant(12) << QVariant(qlonglong(12));
    QTest::newRow("real") << QVariant(1.5) << QVariant(1.5);
    QTest::newRow("boolean") << QVariant(true) << QVariant(qlonglong(1));
    QTest::newRow("colour") << QVariant(QColor(255, 136, 0)) << QVariant(QStringLiteral("#ff8800"));
    QTest::newRow("colour, alpha not stored")
        << QVariant(QColor(1, 2, 3, 4)) << QVariant(QStringLiteral("#010203"));
}

void tst_Profile::savedValueReachesTable()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, stored);
    Profile profile(QStringLiteral("profile.db"));
    profile.setValue(QStringLiteral("k"), value, true);
    QCOMPARE(profile.value(QStringLiteral("k")), value);
    QCOMPARE(Workspace::storedSetting(QStringLiteral("k")), stored);

    // A second save replaces the row.
    profile.setValue(QStringLiteral("k"), QStringLiteral("again"), true);
    QCOMPARE(Workspace::rows(QStringLiteral("profile.db"),
                             QStringLiteral("select value from profile where name = 'k'")),
             QList<QVariantList>{ { QStringLiteral("again") } });
}

void tst_Profile::invalidValueWithSaveDeletesRow()
{
    QVERIFY(
        Workspace::execute(QStringLiteral("profile.db"),
                           { Workspace::settingInsert(QStringLiteral("k"), QStringLiteral("1")) }));
    Profile profile(QStringLiteral("profile.db"));
    profile.setValue(QStringLiteral("k"), QVariant(), true);

    QCOMPARE(Workspace::storedSetting(QStringLiteral("k")), QVariant());
    QCOMPARE(profile.value(QStringLiteral("k"), QStringLiteral("default")),
             QVariant(QStringLiteral("default")));
    QVERIFY(profile.keys().contains(QStringLiteral("k")));
}

void tst_Profile::removeDropsCacheEntryAndRow()
{
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { Workspace::settingInsert(QStringLiteral("stored"), QStringLiteral("1")),
          Workspace::settingInsert(QStringLiteral("other"), QStringLiteral("2")) }));
    Profile profile(QStringLiteral("profile.db"));
    profile.setValue(QStringLiteral("memory"), 3, false);

    profile.remove(QStringLiteral("memory"));
    QVERIFY(!profile.keys().contains(QStringLiteral("memory")));
    profile.remove(QStringLiteral("stored"));
    QVERIFY(!profile.keys().contains(QStringLiteral("stored")));

    QCOMPARE(Workspace::rows(QStringLiteral("profile.db"),
                             QStringLiteral("select name, value from profile")),
             (QList<QVariantList>{ { QStringLiteral("other"), qlonglong(2) } }));
    QCOMPARE(profile.value(QStringLiteral("stored"), 9), QVariant(9));
}

void tst_Profile::removedKeyIsReadAgain()
{
    Profile profile(QStringLiteral("profile.db"));
    profile.setValue(QStringLiteral("k"), 3, false);
    QVERIFY(
        Workspace::execute(QStringLiteral("profile.db"),
                           { Workspace::settingInsert(QStringLiteral("k"), QStringLiteral("4")) }));
    // remove() deletes the row too, so the table has nothing left to show.
    profile.remove(QStringLiteral("k"));
    QCOMPARE(profile.value(QStringLiteral("k"), 0), QVariant(0));
    QVERIFY(profile.keys().contains(QStringLiteral("k")));
}

void tst_Profile::value2_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<bool>("fallbackKnown");

    const QString a
        = Workspace::settingInsert(QStringLiteral("DD/max_clot_time"), QStringLiteral("300"));
    const QString b
        = Workspace::settingInsert(QStringLiteral("max_clot_time"), QStringLiteral("200"));
    QTest::newRow("first key holds a value")
        << QStringList{ a } << QVariant(qlonglong(300)) << false;
    QTest::newRow("both hold one") << QStringList{ a, b } << QVariant(qlonglong(300)) << true;
    QTest::newRow("only the fallback holds one")
        << QStringList{ b } << QVariant(qlonglong(200)) << true;
    QTest::newRow("neither holds one")
        << QStringList{} << QVariant(QStringLiteral("default")) << true;
}

void tst_Profile::value2()
{
    QFETCH(QStringList, rows);
    QFETCH(QVariant, expected);
    QFETCH(bool, fallbackKnown);
    if (!rows.isEmpty())
        QVERIFY(Workspace::execute(QStringLiteral("profile.db"), rows));

    Profile profile(QStringLiteral("profile.db"));
    QCOMPARE(profile.value2(QStringLiteral("DD/max_clot_time"), QStringLiteral("max_clot_time"),
                            QStringLiteral("default")),
             expected);
    QVERIFY(profile.keys().contains(QStringLiteral("DD/max_clot_time")));
    // The fallback is looked up only when the first key has no value.
    QCOMPARE(profile.keys().contains(QStringLiteral("max_clot_time")), fallbackKnown);
}

void tst_Profile::keysWithSqlCharactersMatchOnlyTheirRow_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("single quote") << QStringLiteral("it's");
    QTest::newRow("always-true injection") << QStringLiteral("x' or '1'='1");
    QTest::newRow("statement injection") << QStringLiteral("x'; drop table profile; --");
    QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
    QTest::newRow("like wildcards") << QStringLiteral("%_");
    QTest::newRow("backslash and slash") << QStringLiteral("a\\b/c");
}

void tst_Profile::keysWithSqlCharactersMatchOnlyTheirRow()
{
    QFETCH(QString, key);
    const QString neighbour = QStringLiteral("neighbour");
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"),
                               { Workspace::settingInsert(neighbour, QStringLiteral("'n'")) }));

    {
        Profile profile(QStringLiteral("profile.db"));
        QCOMPARE(profile.value(key, QStringLiteral("absent")), QVariant(QStringLiteral("absent")));
        profile.setValue(key, QStringLiteral("mine"), true);
    }
    QCOMPARE(Workspace::storedSetting(key), QVariant(QStringLiteral("mine")));
    QCOMPARE(Workspace::storedSetting(neighbour), QVariant(QStringLiteral("n")));

    // A fresh object misses the key in no cache: its lookup goes to the table.
    Profile profile(QStringLiteral("profile.db"));
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"),
                               { QStringLiteral("delete from profile where name = 'neighbour'") }));
    QCOMPARE(profile.value(key), QVariant(QStringLiteral("mine")));
    profile.remove(key);
    QCOMPARE(Workspace::rows(QStringLiteral("profile.db"),
                             QStringLiteral("select count(*) from profile")),
             QList<QVariantList>{ { qlonglong(0) } });
}

void tst_Profile::keysAreCaseSensitive()
{
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { Workspace::settingInsert(QStringLiteral("Hospital"), QStringLiteral("'A'")) }));
    Profile profile(QStringLiteral("profile.db"));
    QCOMPARE(profile.value(QStringLiteral("hospital"), QStringLiteral("none")),
             QVariant(QStringLiteral("none")));
    QCOMPARE(profile.value(QStringLiteral("Hospital")), QVariant(QStringLiteral("A")));
}

void tst_Profile::connections()
{
    Profile profile(QStringLiteral("other.db"));
    const QSqlDatabase settings = profile.database();
    QCOMPARE(settings.connectionName(), QStringLiteral("profile"));
    QCOMPARE(settings.databaseName(), QStringLiteral("other.db"));
    QCOMPARE(profile.dataDatabase().connectionName(), QStringLiteral("data"));
    QCOMPARE(profile.dataDatabase().databaseName(), QStringLiteral("data.db"));
    QCOMPARE(profile.qcDatabase().connectionName(), QStringLiteral("qc"));
    QCOMPARE(profile.qcDatabase().databaseName(), QStringLiteral("qc.db"));
    QVERIFY(profile.database().isOpen() && profile.dataDatabase().isOpen()
            && profile.qcDatabase().isOpen());
    QVERIFY(QFileInfo::exists(QStringLiteral("other.db")));
    // other.db was made empty, which is worth a word to the user.
    const QList<ShownMessageBox> shown = m_fixture.boxes().takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, QStringLiteral("错误的配置文件 other.db"));
}

void tst_Profile::newerProfileTakesOverConnections()
{
    QVERIFY(Workspace::execute(
        QStringLiteral("second.db"),
        { QStringLiteral("create table profile (name text primary key, value)") }));
    Profile first(QStringLiteral("profile.db"));
    first.setValue(QStringLiteral("k"), 1, false);
    Profile second(QStringLiteral("second.db"));

    QCOMPARE(first.database().databaseName(), QStringLiteral("second.db"));
    // Each object keeps its own cache; writes go to the newest connection.
    QCOMPARE(first.value(QStringLiteral("k")), QVariant(1));
    QCOMPARE(second.value(QStringLiteral("k")), QVariant());
    first.setValue(QStringLiteral("k"), 2, true);
    QCOMPARE(Workspace::storedSetting(QStringLiteral("k"), QStringLiteral("second.db")),
             QVariant(qlonglong(2)));
    QCOMPARE(Workspace::storedSetting(QStringLiteral("k")), QVariant());
}

void tst_Profile::unusableFilesAreReported_data()
{
    QTest::addColumn<QString>("settingsPath");
    QTest::addColumn<QStringList>("prepare");
    QTest::addColumn<QStringList>("expectedTexts");

    const QString openFailure = QStringLiteral("无法加载配置文件 %1\n");
    QTest::newRow("settings file in a missing directory")
        << QStringLiteral("missing/profile.db") << QStringList()
        << QStringList{ openFailure.arg(QStringLiteral("missing/profile.db")),
                        QStringLiteral("错误的配置文件 missing/profile.db") };
    QTest::newRow("settings file that is a directory")
        << QStringLiteral("folder.db") << QStringList{ QStringLiteral("mkdir folder.db") }
        << QStringList{ openFailure.arg(QStringLiteral("folder.db")),
                        QStringLiteral("错误的配置文件 folder.db") };
    QTest::newRow("settings file that is not a database")
        << QStringLiteral("text.db") << QStringList{ QStringLiteral("write text.db") }
        << QStringList{ QStringLiteral("错误的配置文件 text.db") };
    QTest::newRow("settings file without tables")
        << QStringLiteral("new.db") << QStringList()
        << QStringList{ QStringLiteral("错误的配置文件 new.db") };
    QTest::newRow("data.db is a directory")
        << QStringLiteral("profile.db")
        << QStringList{ QStringLiteral("replace data.db by a directory") }
        << QStringList{ QStringLiteral("无法打开数据库文件 data.db"),
                        QStringLiteral("错误的数据库文件 data.db") };
    QTest::newRow("qc.db without tables")
        << QStringLiteral("profile.db") << QStringList{ QStringLiteral("remove qc.db") }
        << QStringList{ QStringLiteral("错误的数据库文件 qc.db") };
    QTest::newRow("all files missing")
        << QStringLiteral("profile.db")
        << QStringList{ QStringLiteral("remove profile.db"), QStringLiteral("remove data.db"),
                        QStringLiteral("remove qc.db") }
        << QStringList{ QStringLiteral("错误的配置文件 profile.db"),
                        QStringLiteral("错误的数据库文件 data.db"),
                        QStringLiteral("错误的数据库文件 qc.db") };
}

void tst_Profile::unusableFilesAreReported()
{
    QFETCH(QString, settingsPath);
    QFETCH(QStringList, prepare);
    QFETCH(QStringList, expectedTexts);

    QDir here;
    for (const QString &step : prepare) {
        const QString file = step.section(QLatin1Char(' '), 1, 1);
        if (step.startsWith(QLatin1String("mkdir")))
            QVERIFY(here.mkdir(file));
        else if (step.startsWith(QLatin1String("write"))) {
            QFile text(file);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write(QByteArray(4096, 'x'));
        } else if (step.startsWith(QLatin1String("replace"))) {
            QVERIFY(here.remove(file) && here.mkdir(file));
        } else {
            QVERIFY(here.remove(file));
        }
    }

    Profile profile(settingsPath);
    const QList<ShownMessageBox> shown = m_fixture.boxes().takeShown();
    QStringList texts;
    for (const ShownMessageBox &box : shown) {
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        texts << box.text;
    }
    QCOMPARE(texts.size(), expectedTexts.size());
    for (int i = 0; i < texts.size(); ++i) {
        // The open failure carries the driver's own text after the line break.
        if (expectedTexts[i].endsWith(QLatin1Char('\n'))) {
            QVERIFY2(texts[i].startsWith(expectedTexts[i]), qPrintable(texts[i]));
            QVERIFY2(texts[i].size() > expectedTexts[i].size(), qPrintable(texts[i]));
        } else {
            QCOMPARE(texts[i], expectedTexts[i]);
        }
    }
}

void tst_Profile::unopenableSettingsFileStillServesDefaults()
{
    Profile profile(QStringLiteral("missing/profile.db"));
    QCOMPARE(m_fixture.boxes().takeShown().size(), 2);
    QCOMPARE(profile.value(QStringLiteral("k"), 5), QVariant(5));
    profile.setValue(QStringLiteral("k"), 6, true);
    QCOMPARE(profile.value(QStringLiteral("k"), 5), QVariant(6));
    QCOMPARE(profile.hospital(QStringLiteral("H")), QStringLiteral("H"));
    QVERIFY(!QFileInfo::exists(QStringLiteral("missing")));
}

void tst_Profile::lookupOnOtherThreadReadsTheTable()
{
    QVERIFY(
        Workspace::execute(QStringLiteral("profile.db"), { QStringLiteral("create table t (x)") }));
    Profile profile(QStringLiteral("profile.db"));
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { Workspace::settingInsert(QStringLiteral("late"), QStringLiteral("'from table'")) }));

    QVariant seen;
    runOnOtherThread(
        [&] { seen = profile.value(QStringLiteral("late"), QStringLiteral("default")); });
    QCOMPARE(seen, QVariant(QStringLiteral("from table")));
    QCOMPARE(profile.value(QStringLiteral("late")), QVariant(QStringLiteral("from table")));
}

void tst_Profile::writeOnOtherThreadReachesTheTable()
{
    Profile profile(QStringLiteral("profile.db"));
    runOnOtherThread([&] {
        profile.setValue(QStringLiteral("written"), QStringLiteral("w"), true);
        profile.setValue(QStringLiteral("deleted"), QStringLiteral("d"), true);
        profile.setValue(QStringLiteral("deleted"), QVariant(), true);
        profile.setValue(QStringLiteral("removed"), QStringLiteral("r"), true);
        profile.remove(QStringLiteral("removed"));
    });
    QCOMPARE(Workspace::rows(QStringLiteral("profile.db"),
                             QStringLiteral("select name, value from profile")),
             (QList<QVariantList>{ { QStringLiteral("written"), QStringLiteral("w") } }));
}

void tst_Profile::otherThreadFollowsNewerProfile()
{
    QVERIFY(Workspace::execute(
        QStringLiteral("second.db"),
        { QStringLiteral("create table profile (name text primary key, value)") }));
    Profile first(QStringLiteral("profile.db"));
    std::unique_ptr<QThread> worker(new QThread);
    QObject context;
    context.moveToThread(worker.get());
    worker->start();
    auto onWorker = [&](auto f) {
        QMetaObject::invokeMethod(&context, f, Qt::BlockingQueuedConnection);
    };

    onWorker([&] { first.setValue(QStringLiteral("k"), 1, true); });
    Profile second(QStringLiteral("second.db"));
    // The same thread, whose clone still points at the first file, must now write to the second.
    onWorker([&] { first.setValue(QStringLiteral("k"), 2, true); });
    worker->quit();
    worker->wait();

    QCOMPARE(Workspace::storedSetting(QStringLiteral("k")), QVariant(qlonglong(1)));
    QCOMPARE(Workspace::storedSetting(QStringLiteral("k"), QStringLiteral("second.db")),
             QVariant(qlonglong(2)));
}

void tst_Profile::connectionsOnOtherThread()
{
    QVERIFY(Workspace::execute(QStringLiteral("data.db"),
                               { QStringLiteral("insert into patient values (1, '0001')") }));
    Profile profile(QStringLiteral("profile.db"));
    QStringList seen;
    runOnOtherThread([&] {
        for (const QSqlDatabase &db :
             { profile.database(), profile.dataDatabase(), profile.qcDatabase() }) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("select count(*) from sqlite_master"));
            seen << QStringLiteral("%1 %2 %3")
                        .arg(db.databaseName())
                        .arg(db.isOpen())
                        .arg(query.next());
        }
        QSqlQuery patient(profile.dataDatabase());
        seen << (patient.exec(QStringLiteral("select sampleNo from patient")) && patient.next()
                     ? patient.value(0).toString()
                     : patient.lastError().text());
    });
    QCOMPARE(seen,
             (QStringList{ QStringLiteral("profile.db 1 1"), QStringLiteral("data.db 1 1"),
                           QStringLiteral("qc.db 1 1"), QStringLiteral("0001") }));
}

void tst_Profile::instanceIsReachableWhileItsBoxesAreUp()
{
    QVERIFY(QDir().remove(QStringLiteral("profile.db")));
    QVERIFY(QDir().mkdir(QStringLiteral("profile.db")));
    // An application's timer or paint handler, run by the box's event loop, asks for the
    // instance that is still being made: it must get that one, not start making another.
    QList<Profile *> seen;
    m_fixture.boxes().setWhileShown([&] {
        Profile &profile = Profile::instance();
        profile.value(QStringLiteral("k"));
        seen << &profile;
    });
    Profile &instance = Profile::instance();
    QCOMPARE(&Profile::instance(), &instance);
    QCOMPARE(instance.database().databaseName(), QStringLiteral("profile.db"));

    const QList<ShownMessageBox> shown = m_fixture.boxes().takeShown();
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown[0].text.startsWith(QStringLiteral("无法加载配置文件 profile.db\n")));
    QCOMPARE(seen, (QList<Profile *>{ &instance, &instance }));
    m_fixture.boxes().setWhileShown(nullptr);
}

QTEST_MAIN(tst_Profile)
#include "tst_profile.moc"
