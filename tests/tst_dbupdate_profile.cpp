// The settings file's upgrade, run by the real tool on legacy files: its schema, the default
// settings of each kind, reagents, corrections, and the translated labels.
#include "dbupdatetool.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString profileDb = QStringLiteral("profile.db");

// The stored value of a setting as "type:text" in UTF-8, "absent" when there is no row.
QByteArray setting(const QString &key, const QString &fileName = profileDb)
{
    const QList<QVariantList> rows = Workspace::rows(
        fileName,
        QStringLiteral("select typeof(value) || ':' || value from profile where name = '%1'")
            .arg(key));
    return rows.isEmpty() ? QByteArray("absent") : rows.first().value(0).toString().toUtf8();
}

// The rows of a query, each as its fields in UTF-8 separated by "|".
QByteArrayList texts(const QString &fileName, const QString &query)
{
    QByteArrayList result;
    for (const QVariantList &row : Workspace::rows(fileName, query)) {
        QStringList fields;
        for (const QVariant &value : row)
            fields << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        result << fields.join(QLatin1Char('|')).toUtf8();
    }
    return result;
}

} // namespace

class tst_DbUpdateProfile : public QObject
{
    Q_OBJECT

private slots:
    void schemaStatements_data();
    void schemaStatements();
    void settings_data();
    void settings();
    void plainInsertKeepsValueWithoutReplaceClause();
    void reagentsAndCorrections();
    void usersCopiedWithDefaults();
    void curvesOfOneNameStayUnique();
    void curveDeletionRemovesItsRows();
    void versionOneFileRunsOnlyTheSecondGroup();
    void versionTwoFileOnlyGetsSettings();
    void translations_data();
    void translations();
};

void tst_DbUpdateProfile::schemaStatements_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("statement");

    QTest::newRow("user")
        << QStringLiteral("user")
        << QStringLiteral("create table user(\n\tid integer primary key,\n\tname text unique "
                          "COLLATE NOCASE,\n\tpassword text,\n\tlevel integer default "
                          "0,\n\thide integer default 0 )");
    QTest::newRow("curveInfo")
        << QStringLiteral("curveInfo")
        << QStringLiteral("-- curve debug info, since v1\ncreate table curveInfo (\n\tcurveId "
                          "integer references curve,\n\tname text not null,\n\tvalue,\n\tunique "
                          "(curveId, name) on conflict replace\n\t)");
    QTest::newRow("deleteCurve")
        << QStringLiteral("deleteCurve")
        << QStringLiteral("create trigger deleteCurve after delete on curve \nbegin \n\tdelete "
                          "from curvePoint    where    curvePoint.curveId = old.id;\n\tdelete from "
                          "curveVariable where curveVariable.curveId = old.id;\n\tdelete from "
                          "curveReagent  where  curveReagent.curveId = old.id;\n\tdelete from "
                          "curveInfo     where     curveInfo.curveId = old.id;\nend");
    QTest::newRow("curve_index")
        << QStringLiteral("curve_index")
        << QStringLiteral("create unique index curve_index on curve(name, instrUuid)");
}

void tst_DbUpdateProfile::schemaStatements()
{
    QFETCH(QString, name);
    QFETCH(QString, statement);

    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);
    QCOMPARE(DbUpdateTool::definitionOf(profileDb, name),
             DbUpdateTool::storedDefinition(statement));
}

void tst_DbUpdateProfile::settings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");

    // Written with a plain insert into a table whose names replace on conflict.
    QTest::newRow("new plain insert") << "FIB/report/dilution"
                                      << "text:1/10";
    QTest::newRow("dilution")
        << "dilution"
        << "text:梯度1;1/5;1/10;1/20;1/30,梯度2;1/5;1/10;1/20;1/30;1/40,梯度3;1/1;1/2;1/4;1/"
           "8,梯度4;1/1;3/4;1/2;1/4";
    QTest::newRow("plain insert over existing") << "patient/sampleType"
                                                << "text:样本类型";
    QTest::newRow("initVolume") << "reagent/initVolume"
                                << "text:初始量[ul]";
    QTest::newRow("alarmLimit") << "reagent/alarmLimit"
                                << "text:报警限[ul]";
    QTest::newRow("interruptLimit") << "reagent/interruptLimit"
                                    << "text:中断限[ul]";
    QTest::newRow("hospitalNo") << "patient/hospitalNo"
                                << "text:住院号";
    // Insert or abort: a default that never overrides.
    QTest::newRow("abort keeps existing") << "schedule/sample"
                                          << "integer:8";
    QTest::newRow("abort keeps existing PT") << "schedule/test/PT"
                                             << "integer:30";
    QTest::newRow("abort adds absent") << "schedule/reagent"
                                       << "integer:6";
    QTest::newRow("abort adds path key") << "schedule/dilution/1/40"
                                         << "integer:22";
    QTest::newRow("abort adds table") << "schedule/test/FIB/table"
                                      << "text:0.2,25;0.1,35;0.05,45;0.025,65";
    QTest::newRow("abort adds real") << "analyst/FIB/odPercent"
                                     << "real:0.5";
    // Replace: always overwritten.
    QTest::newRow("replace overwrites") << "DD/max_clot_time"
                                        << "integer:240";
    QTest::newRow("replace adds") << "DD/mix/times"
                                  << "integer:3";
    QTest::newRow("replace real") << "specialValue/FDP/P"
                                  << "real:0.1";
    QTest::newRow("replace text") << "analyst/FIB/odThreshold"
                                  << "text:4,0.008; 6,0.004; 10,0.0025; 20,0.001; 40,0.0005";
    // Removed.
    QTest::newRow("DD/disable") << "DD/disable"
                                << "absent";
    QTest::newRow("FDP/disable") << "FDP/disable"
                                 << "absent";
    QTest::newRow("XII/disable NULL") << "XII/disable"
                                      << "absent";
    // Left alone.
    QTest::newRow("hospital") << "hospital"
                              << "text:第一人民医院";
    QTest::newRow("quoted value") << "department"
                                  << "text:O'Brien's lab";
    QTest::newRow("real") << "analyst/PT/isi"
                          << "real:1.02";
}

void tst_DbUpdateProfile::settings()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);

    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);
    QCOMPARE(QString::fromUtf8(setting(key)), stored);
}

// Without "on conflict replace" on the name, a plain insert of an existing setting fails, is
// reported and keeps the stored value.
void tst_DbUpdateProfile::plainInsertKeepsValueWithoutReplaceClause()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(
        Workspace::execute(profileDb,
                           { QStringLiteral("create table profile (name text primary key, value)"),
                             Workspace::settingInsert(QStringLiteral("patient/hospitalNo"),
                                                      QStringLiteral("'Ward'")) }));
    QCOMPARE(DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") }).exitCode, 0);
    QCOMPARE(setting(QStringLiteral("patient/hospitalNo")), QByteArray("text:Ward"));
    QCOMPARE(setting(QStringLiteral("patient/sampleType")), QByteArray("text:样本类型"));
    QVERIFY(DbUpdateTool::fileContents(QStringLiteral("update.log"))
                .contains("[ insert into profile values('patient/hospitalNo',\t'住院号') ] \n"));
}

void tst_DbUpdateProfile::reagentsAndCorrections()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);

    const QByteArrayList reagents = texts(
        profileDb,
        QStringLiteral("select type, name, initVolume, alarmLimit, vialType from reagent order by "
                       "type, name"));
    QCOMPARE(reagents,
             (QByteArrayList{
                 "0|FDP|2000|200|3", "0|Latex|2000|200|3", "0|PT|4000|400|1",
                 "1|清洗液|20000|2000|9", "2|Buffer(APTT)|6500|200|6", "2|Buffer(DD)|6500|200|6",
                 "2|Buffer(EN)|6500|200|6", "2|Buffer(EX)|6500|200|6", "2|Buffer(FDP)|6500|200|6",
                 "2|Buffer(FIB)|6500|200|6", "2|Buffer(PT)|6500|200|6", "2|Buffer(TT)|6500|200|6",
                 "2|Saline|6500|200|6", "5|DD ct|1000|200|1", "5|FDP ct|1000|200|1" }));
    QCOMPARE(
        texts(profileDb, QStringLiteral("select name, funX from assayCalibration order by name")),
        (QByteArrayList{ "DD|Log", "PT|Log" }));
    QCOMPARE(
        texts(profileDb, QStringLiteral("select name, precision from assayItem order by name")),
        (QByteArrayList{ "FIB|2", "OD|0", "PT|1" }));
}

void tst_DbUpdateProfile::usersCopiedWithDefaults()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);

    QCOMPARE(texts(profileDb, QStringLiteral("select * from user order by id")),
             (QByteArrayList{ "1|admin|e10adc3949ba59abbe56e057f20f883e|9|0", "2|张医生|pa'ss|1|0",
                              "3|O'Neil|NULL|0|0", "4|service||5|0" }));
    QCOMPARE(texts(profileDb, QStringLiteral("select id from user where name = 'ADMIN'")),
             QByteArrayList{ "1" });
    QVERIFY(!Workspace::execute(profileDb,
                                { QStringLiteral("insert into user (name) values ('Service')") }));
}

// Existing curves get no instrument: curves that share a name still satisfy the new index, and
// the index holds name and instrument unique.
void tst_DbUpdateProfile::curvesOfOneNameStayUnique()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);

    QCOMPARE(texts(profileDb, QStringLiteral("select count(*) from curve where instrUuid is null")),
             QByteArrayList{ "3" });
    QVERIFY(Workspace::execute(profileDb,
                               { QStringLiteral("insert into curve (name) values ('FIB')") }));
    const QString withInstrument
        = QStringLiteral("insert into curve (name, instrUuid) values ('FIB', '{a}')");
    QVERIFY(Workspace::execute(profileDb, { withInstrument }));
    QVERIFY(!Workspace::execute(profileDb, { withInstrument }));
}

void tst_DbUpdateProfile::curveDeletionRemovesItsRows()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);

    QVERIFY(Workspace::execute(
        profileDb,
        { QStringLiteral("insert into curveInfo values (1, 'channel', 1), (2, 'channel', 2)"),
          QStringLiteral("insert into curveInfo values (1, 'channel', 3)"),
          QStringLiteral("delete from curve where id = 1") }));
    for (const char *table : { "curvePoint", "curveVariable", "curveReagent", "curveInfo" }) {
        QCOMPARE(texts(profileDb,
                       QStringLiteral("select distinct curveId from %1 order by curveId")
                           .arg(QLatin1String(table))),
                 table == QByteArray("curveInfo") ? QByteArrayList{ "2" }
                                                  : (QByteArrayList{ "2", "3" }));
    }
}

void tst_DbUpdateProfile::versionOneFileRunsOnlyTheSecondGroup()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 1));
    QCOMPARE(DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") }).exitCode, 0);

    const QByteArray log = DbUpdateTool::fileContents(QStringLiteral("update.log"));
    QVERIFY(!log.contains("user_bak"));
    QVERIFY(!log.contains("curveInfo"));
    QCOMPARE(texts(profileDb, QStringLiteral("select id, hide from user order by id")),
             (QByteArrayList{ "1|0", "2|0", "3|1", "4|1" }));
    QCOMPARE(texts(profileDb, QStringLiteral("select count(*) from curveInfo")),
             QByteArrayList{ "2" });
    QCOMPARE(DbUpdateTool::definitionOf(profileDb, QStringLiteral("curve_index")),
             QStringLiteral("CREATE UNIQUE INDEX curve_index on curve(name, instrUuid)"));
    QCOMPARE(texts(profileDb, QStringLiteral("select * from version")), QByteArrayList{ "2" });
}

void tst_DbUpdateProfile::versionTwoFileOnlyGetsSettings()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 2));
    const QString schema
        = QStringLiteral("select type, name, sql from sqlite_master order by name");
    const QByteArrayList before = texts(profileDb, schema);
    QCOMPARE(DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") }).exitCode, 0);

    QCOMPARE(texts(profileDb, schema), before);
    QCOMPARE(setting(QStringLiteral("DD/max_clot_time")), QByteArray("integer:240"));
    QCOMPARE(setting(QStringLiteral("DD/disable")), QByteArray("absent"));
    QCOMPARE(texts(profileDb, QStringLiteral("select * from version")), QByteArrayList{ "2" });
}

void tst_DbUpdateProfile::translations_data()
{
    QTest::addColumn<QString>("inDot"); // translation file put into "." as labels.qm
    QTest::addColumn<QString>("inDotDot"); // and into ".."
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("sampleType");
    QTest::addColumn<QString>("hospitalNo");
    QTest::addColumn<QString>("dilution");
    QTest::addColumn<QString>("initVolume");

    const QString english = DbUpdateTool::englishTranslation();
    const QString quotes = QStringLiteral(QUOTES_TRANSLATION);
    const QString englishDilution = QStringLiteral(
        "Gradient 1;1/5;1/10;1/20;1/30,Gradient 2;1/5;1/10;1/20;1/30;1/40,Gradient 3;1/1;1/2;1/4;"
        "1/8,Gradient 4;1/1;3/4;1/2;1/4");
    QTest::newRow("none") << QString() << QString() << QStringList() << "样本类型"
                          << "住院号"
                          << "梯度1;1/5;1/10;1/20;1/30,梯度2;1/5;1/10;1/20;1/30;1/40,梯度3;1/1;1/"
                             "2;1/4;1/8,梯度4;1/1;3/4;1/2;1/4"
                          << "初始量[ul]";
    QTest::newRow("log file name only")
        << english << QString() << QStringList{ QStringLiteral("update.log") } << "样本类型"
        << "住院号"
        << "梯度1;1/5;1/10;1/20;1/30,梯度2;1/5;1/10;1/20;1/30;1/40,梯度3;1/1;1/2;1/4;1/"
           "8,梯度4;1/1;3/4;1/2;1/4"
        << "初始量[ul]";
    QTest::newRow("english in .") << english << QString()
                                  << QStringList{ QStringLiteral("update.log"),
                                                  QStringLiteral("labels") }
                                  << "Sample type"
                                  << "Inpatient no." << englishDilution << "Initial volume [ul]";
    QTest::newRow("english in ..")
        << QString() << english << QStringList{ QStringLiteral("labels") } << "Sample type"
        << "Inpatient no." << englishDilution << "Initial volume [ul]";
    QTest::newRow(". wins over ..")
        << quotes << english << QStringList{ QStringLiteral("labels") } << "Sample's type"
        << "Patient's ward no."
        << "Dilution 'A';1/5;1/10;1/20;1/30,梯度2;1/5;1/10;1/20;1/30;1/40,梯度3;1/1;1/2;1/4;1/8,"
           "梯度4;1/1;3/4;1/2;1/4"
        << "初始量[ul]";
    QTest::newRow("by path, quotes intact")
        << QString() << QString() << QStringList{ QStringLiteral("update.log"), quotes }
        << "Sample's type"
        << "Patient's ward no."
        << "Dilution 'A';1/5;1/10;1/20;1/30,梯度2;1/5;1/10;1/20;1/30;1/40,梯度3;1/1;1/2;1/4;1/8,"
           "梯度4;1/1;3/4;1/2;1/4"
        << "初始量[ul]";
}

void tst_DbUpdateProfile::translations()
{
    QFETCH(QString, inDot);
    QFETCH(QString, inDotDot);
    QFETCH(QStringList, arguments);
    QFETCH(QString, sampleType);
    QFETCH(QString, hospitalNo);
    QFETCH(QString, dilution);
    QFETCH(QString, initVolume);

    Workspace workspace;
    QVERIFY(workspace.isValid());
    const QString work = workspace.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkdir(work));
    if (!inDot.isEmpty())
        QVERIFY(QFile::copy(inDot, work + QStringLiteral("/labels.qm")));
    if (!inDotDot.isEmpty())
        QVERIFY(QFile::copy(inDotDot, workspace.filePath(QStringLiteral("labels.qm"))));
    const QString file = work + QStringLiteral("/profile.db");
    QVERIFY(Workspace::execute(
        file,
        { QStringLiteral("create table profile (name text primary key on conflict replace, "
                         "value)") }));

    QCOMPARE(DbUpdateTool::run(work, arguments).exitCode, 0);
    QCOMPARE(QString::fromUtf8(setting(QStringLiteral("patient/sampleType"), file)),
             QStringLiteral("text:") + sampleType);
    QCOMPARE(QString::fromUtf8(setting(QStringLiteral("patient/hospitalNo"), file)),
             QStringLiteral("text:") + hospitalNo);
    QCOMPARE(QString::fromUtf8(setting(QStringLiteral("dilution"), file)),
             QStringLiteral("text:") + dilution);
    QCOMPARE(QString::fromUtf8(setting(QStringLiteral("reagent/initVolume"), file)),
             QStringLiteral("text:") + initVolume);
}

QTEST_GUILESS_MAIN(tst_DbUpdateProfile)
#include "tst_dbupdate_profile.moc"
