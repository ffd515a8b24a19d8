// The patient file's upgrade, run by the real tool on legacy files: the rebuilt lookup tables,
// detail, the trigger on patient, and the paths from versions 1 and 2.
#include "dbupdatetool.h"
#include "workspace.h"

#include <QTest>

#include <memory>

namespace {

const QString dataDb = QStringLiteral("data.db");

// The rows of a query, each as its fields separated by "|", NULL spelled out.
QStringList texts(const QString &query)
{
    QStringList result;
    for (const QVariantList &row : Workspace::rows(dataDb, query)) {
        QStringList fields;
        for (const QVariant &value : row)
            fields << (value.isNull() ? QStringLiteral("NULL") : value.toString());
        result << fields.join(QLatin1Char('|'));
    }
    return result;
}

const QStringList lookupTables{ QStringLiteral("department"),    QStringLiteral("sex"),
                                QStringLiteral("treatmentRoom"), QStringLiteral("diagnosis"),
                                QStringLiteral("doctor"),        QStringLiteral("operator") };

const QString onDeletePatient = QStringLiteral(
    "create trigger on_delete_patient after delete on patient\nbegin\n\tdelete from exam where "
    "old.sampleNo = exam.sampleNo and old.date = exam.date;\n\tdelete from result where old.id = "
    "result.patientId;\n\tdelete from patientExtra where old.id = "
    "patientExtra.patientId;\n\tdelete "
    "from curve where old.id = curve.patientId;\n\tdelete from detail where old.id = "
    "detail.patientId;\nend");

} // namespace

class tst_DbUpdateData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void schemaStatements_data();
    void schemaStatements();
    void lookupRowsKept_data();
    void lookupRowsKept();
    void abbreviationsIgnoreLetterCase_data();
    void abbreviationsIgnoreLetterCase();
    void patientGainsColumnsAndKeepsRows();
    void deletingPatientDeletesItsRows();
    void detailReplacesOnConflict();
    void versionOneFileGetsNewTrigger();
    void versionZeroFileWithoutTrigger();

private:
    std::unique_ptr<Workspace> m_workspace;
    QStringList m_legacyLookupRows;
};

void tst_DbUpdateData::initTestCase()
{
    Workspace workspace;
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    m_legacyLookupRows = texts(QStringLiteral("select id, abbr, name from department order by id"));
    QCOMPARE(m_legacyLookupRows.size(), 5);
}

// Most cases look at a version-0 fixture after one run.
void tst_DbUpdateData::init()
{
    m_workspace.reset(new Workspace);
    QVERIFY(m_workspace->isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(m_workspace->path(), 0));
}

void tst_DbUpdateData::cleanup()
{
    m_workspace.reset();
}

void tst_DbUpdateData::schemaStatements_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("statement");

    for (const QString &table : lookupTables) {
        QTest::addRow("%s", qPrintable(table))
            << table
            << QStringLiteral("create table %1(\n\tid integer primary key,\n\tabbr text COLLATE "
                              "NOCASE,\n\tname text)")
                   .arg(table);
        QTest::addRow("%s_index", qPrintable(table))
            << table + QStringLiteral("_index")
            << QStringLiteral("create index if not exists %1_index on %1 (abbr)").arg(table);
    }
    QTest::newRow("detail") << QStringLiteral("detail")
                            << QStringLiteral(
                                   "create table detail(\n\tid integer primary key,\n\tpatientId "
                                   "integer references patient,\n\titem "
                                   "text,\t\t\t\t\t\t\t\t\t\t-- 测量项目, 如PT\n\tinfo "
                                   "text,\t\t\t\t\t\t\t\t\t\t-- 测试详细信息, "
                                   "如测试通道等\n\tunique(patientId, item) on conflict replace)");
    QTest::newRow("on_delete_patient") << QStringLiteral("on_delete_patient") << onDeletePatient;
}

void tst_DbUpdateData::schemaStatements()
{
    QFETCH(QString, name);
    QFETCH(QString, statement);

    QCOMPARE(DbUpdateTool::run(m_workspace->path()).exitCode, 0);
    QCOMPARE(DbUpdateTool::definitionOf(dataDb, name), DbUpdateTool::storedDefinition(statement));
}

void tst_DbUpdateData::lookupRowsKept_data()
{
    QTest::addColumn<QString>("table");
    for (const QString &table : lookupTables)
        QTest::addRow("%s", qPrintable(table)) << table;
}

void tst_DbUpdateData::lookupRowsKept()
{
    QFETCH(QString, table);

    QCOMPARE(DbUpdateTool::run(m_workspace->path()).exitCode, 0);
    QCOMPARE(texts(QStringLiteral("select id, abbr, name from %1 order by id").arg(table)),
             m_legacyLookupRows);
    QCOMPARE(
        texts(QStringLiteral("select name from sqlite_master where name = '%1_bak'").arg(table)),
        QStringList());
}

void tst_DbUpdateData::abbreviationsIgnoreLetterCase_data()
{
    QTest::addColumn<QString>("abbr");
    QTest::addColumn<QString>("id");

    QTest::newRow("lower stored, upper asked") << "NK"
                                               << "1";
    QTest::newRow("upper stored, lower asked") << "wk"
                                               << "2";
    QTest::newRow("mixed with quote") << "o''b"
                                      << "3";
    QTest::newRow("exact") << "x"
                           << "5";
}

void tst_DbUpdateData::abbreviationsIgnoreLetterCase()
{
    QFETCH(QString, abbr);
    QFETCH(QString, id);

    QCOMPARE(DbUpdateTool::run(m_workspace->path()).exitCode, 0);
    for (const QString &table : lookupTables) {
        QCOMPARE(texts(QStringLiteral("select id from %1 where abbr = '%2'").arg(table, abbr)),
                 QStringList{ id });
    }
    // The look-up goes through the index.
    const QString plan = texts(QStringLiteral("explain query plan select id from doctor where "
                                              "abbr = 'NK'"))
                             .join(QLatin1Char('\n'));
    QVERIFY2(plan.contains(QStringLiteral("doctor_index")), qPrintable(plan));
}

void tst_DbUpdateData::patientGainsColumnsAndKeepsRows()
{
    const QString rows = QStringLiteral(
        "select id, sampleNo, date, name, age, hex(photo) from patient order by id");
    const QStringList before = texts(rows);
    QCOMPARE(DbUpdateTool::run(m_workspace->path()).exitCode, 0);
    QCOMPARE(texts(rows), before);
    QCOMPARE(texts(QStringLiteral("select name from pragma_table_info('patient') where cid >= 9")),
             (QStringList{ QStringLiteral("sampleType"), QStringLiteral("hospitalNo") }));
    QCOMPARE(texts(QStringLiteral("select count(*) from patient where sampleType is null and "
                                  "hospitalNo is null")),
             QStringList{ QStringLiteral("3") });
}

// Patient 1 (sample 1 of 2024-03-01) goes; patient 3 has the same sample number on another day.
void tst_DbUpdateData::deletingPatientDeletesItsRows()
{
    QCOMPARE(DbUpdateTool::run(m_workspace->path()).exitCode, 0);
    QVERIFY(Workspace::execute(
        dataDb,
        { QStringLiteral("insert into detail (patientId, item, info) values (1, 'PT', "
                         "'ch1'), (2, 'FIB', 'ch2')"),
          QStringLiteral("delete from patient where id = 1") }));

    QCOMPARE(
        texts(QStringLiteral("select sampleNo, date, item from exam order by id")),
        (QStringList{ QStringLiteral("2|2024-03-01|FIB"), QStringLiteral("1|2024-03-02|PT") }));
    for (const char *table : { "result", "patientExtra", "curve", "detail" }) {
        const QStringList owners
            = texts(QStringLiteral("select distinct patientId from %1 order by patientId")
                        .arg(QLatin1String(table)));
        QVERIFY2(!owners.contains(QStringLiteral("1")), table);
        QVERIFY2(owners.contains(QStringLiteral("2")), table);
    }
}

void tst_DbUpdateData::detailReplacesOnConflict()
{
    QCOMPARE(DbUpdateTool::run(m_workspace->path()).exitCode, 0);
    QVERIFY(Workspace::execute(
        dataDb,
        { QStringLiteral("insert into detail (patientId, item, info) values (1, 'PT', 'old')"),
          QStringLiteral("insert into detail (patientId, item, info) values (1, 'PT', 'new')"),
          QStringLiteral("insert into detail (patientId, item, info) values (1, 'APTT', 'x')") }));
    QCOMPARE(texts(QStringLiteral("select item, info from detail order by item")),
             (QStringList{ QStringLiteral("APTT|x"), QStringLiteral("PT|new") }));
}

void tst_DbUpdateData::versionOneFileGetsNewTrigger()
{
    QVERIFY(DbUpdateTool::makeLegacyFiles(m_workspace->path(), 1));
    const QString schema = QStringLiteral(
        "select name, sql from sqlite_master where name != 'on_delete_patient' order by name");
    const QStringList before = texts(schema);
    QCOMPARE(DbUpdateTool::run(m_workspace->path(), { QStringLiteral("update.log") }).exitCode, 0);

    QCOMPARE(texts(schema), before);
    QCOMPARE(DbUpdateTool::definitionOf(dataDb, QStringLiteral("on_delete_patient")),
             DbUpdateTool::storedDefinition(onDeletePatient));
    QCOMPARE(texts(QStringLiteral("select version from version")),
             QStringList{ QStringLiteral("2") });
    QCOMPARE(texts(QStringLiteral("select count(*) from detail")),
             QStringList{ QStringLiteral("2") });
    QVERIFY(!DbUpdateTool::fileContents(QStringLiteral("update.log")).contains("updatedata.cpp"));
}

void tst_DbUpdateData::versionZeroFileWithoutTrigger()
{
    QVERIFY(Workspace::execute(dataDb, { QStringLiteral("drop trigger on_delete_patient") }));
    QCOMPARE(DbUpdateTool::run(m_workspace->path(), { QStringLiteral("update.log") }).exitCode, 0);
    QVERIFY(DbUpdateTool::fileContents(QStringLiteral("update.log"))
                .contains("no such trigger: on_delete_patient Unable to execute statement : [ drop "
                          "trigger on_delete_patient ] \n"));
    QCOMPARE(DbUpdateTool::definitionOf(dataDb, QStringLiteral("on_delete_patient")),
             DbUpdateTool::storedDefinition(onDeletePatient));
}

QTEST_GUILESS_MAIN(tst_DbUpdateData)
#include "tst_dbupdate_data.moc"
