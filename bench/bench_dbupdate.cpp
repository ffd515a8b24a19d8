// The upgrade of a large data.db: dbupdate against the sqlite3 shell running the same statements
// as one script, each on a fresh copy of the same file. DBUPDATE_BENCH_ROWS sets the rows of each
// lookup table and of patient (100000 unless set).
#include "ratioreporter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariant>

namespace {

const char *const lookupTables[]
    = { "department", "sex", "treatmentRoom", "diagnosis", "doctor", "operator" };

int rowCount()
{
    bool ok = false;
    const int rows = qEnvironmentVariableIntValue("DBUPDATE_BENCH_ROWS", &ok);
    return ok && rows > 0 ? rows : 100000;
}

// A version-0 data.db with rowCount() rows in every lookup table and in patient, made once.
class Fixture
{
public:
    Fixture()
    {
        const QString connection = QStringLiteral("fixture");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(templateFile());
            db.open();
            QSqlQuery query(db);
            db.transaction();
            query.exec(QStringLiteral("create table patient (id integer primary key, sampleNo "
                                      "integer, date text, name text, sex text, age integer)"));
            for (const char *table : { "exam (id integer primary key, sampleNo, date, item)",
                                       "result (id integer primary key, patientId, item, value)",
                                       "patientExtra (patientId, name, value)",
                                       "curve (id integer primary key, patientId, item, curve)" })
                query.exec(QStringLiteral("create table ") + QLatin1String(table));
            query.exec(QStringLiteral(
                "create trigger on_delete_patient after delete on patient begin delete from exam "
                "where old.sampleNo = exam.sampleNo and old.date = exam.date; end"));
            query.prepare(QStringLiteral("insert into patient values (?, ?, ?, ?, ?, ?)"));
            for (int i = 1; i <= rowCount(); ++i) {
                query.addBindValue(i);
                query.addBindValue(i % 500);
                query.addBindValue(QStringLiteral("2024-03-%1").arg(i % 28 + 1));
                query.addBindValue(QStringLiteral("病人 %1").arg(i));
                query.addBindValue(i % 2 ? QStringLiteral("M") : QStringLiteral("F"));
                query.addBindValue(i % 90);
                query.exec();
            }
            for (const char *table : lookupTables) {
                const QString name = QLatin1String(table);
                query.exec(QStringLiteral("create table %1 (id integer primary key, abbr text, "
                                          "name text)")
                               .arg(name));
                query.prepare(QStringLiteral("insert into %1 values (?, ?, ?)").arg(name));
                for (int i = 1; i <= rowCount(); ++i) {
                    query.addBindValue(i);
                    query.addBindValue(QStringLiteral("A%1").arg(i));
                    query.addBindValue(QStringLiteral("名称 %1").arg(i));
                    query.exec();
                }
            }
            db.commit();
        }
        QSqlDatabase::removeDatabase(connection);
    }

    QString templateFile() const { return m_dir.filePath(QStringLiteral("template.db")); }
    QString workDirectory() const { return m_dir.path(); }
    QString dataFile() const { return m_dir.filePath(QStringLiteral("data.db")); }

    // A fresh version-0 data.db and no other file in the working directory.
    void reset() const
    {
        for (const char *name : { "data.db", "profile.db", "qc.db" })
            QFile::remove(m_dir.filePath(QLatin1String(name)));
        QFile::copy(templateFile(), dataFile());
    }

private:
    QTemporaryDir m_dir;
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

// The statements dbupdate runs on a version-0 data.db, with its copies as "insert ... select".
QByteArray shellScript()
{
    QByteArray script = "alter table patient add sampleType text;\n"
                        "alter table patient add hospitalNo text;\n";
    for (const char *table : lookupTables) {
        script += QByteArray("alter table %1 rename to %1_bak;\n"
                             "create table %1(\n\tid integer primary key,\n\tabbr text COLLATE "
                             "NOCASE,\n\tname text);\n"
                             "create index if not exists %1_index on %1 (abbr);\n"
                             "begin;\ninsert into %1 select * from %1_bak;\ndrop table %1_bak;\n"
                             "commit;\n")
                      .replace("%1", table);
    }
    script += "create table detail(\n\tid integer primary key,\n\tpatientId integer references "
              "patient,\n\titem text,\n\tinfo text,\n\tunique(patientId, item) on conflict "
              "replace);\n"
              "create table version(version integer);\n"
              "drop trigger on_delete_patient;\n"
              "create trigger on_delete_patient after delete on patient\nbegin\n"
              "\tdelete from exam where old.sampleNo = exam.sampleNo and old.date = exam.date;\n"
              "\tdelete from result where old.id = result.patientId;\n"
              "\tdelete from patientExtra where old.id = patientExtra.patientId;\n"
              "\tdelete from curve where old.id = curve.patientId;\n"
              "\tdelete from detail where old.id = detail.patientId;\nend;\n"
              "begin;\ndelete from version;\ninsert into version values(2);\ncommit;\n";
    return script;
}

void runProcess(benchmark::State &state, const QString &program, const QStringList &arguments,
                const QByteArray &input)
{
    QProcess process;
    process.setWorkingDirectory(fixture().workDirectory());
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        state.SkipWithError("the program failed");
}

void dbupdate(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        fixture().reset();
        state.ResumeTiming();
        runProcess(state, QStringLiteral(DBUPDATE_EXECUTABLE),
                   { QDir(fixture().workDirectory()).filePath(QStringLiteral("update.log")) },
                   QByteArray());
    }
    state.SetItemsProcessed(state.iterations() * 6 * rowCount());
}

void sqliteShell(benchmark::State &state)
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        state.SkipWithError("sqlite3 not found");
        return;
    }
    const QByteArray script = shellScript();
    for (auto _ : state) {
        state.PauseTiming();
        fixture().reset();
        state.ResumeTiming();
        runProcess(state, shell, { fixture().dataFile() }, script);
    }
    state.SetItemsProcessed(state.iterations() * 6 * rowCount());
}

} // namespace

BENCHMARK(dbupdate)->Name("dbupdate, data.db")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(sqliteShell)
    ->Name("sqlite3 shell, same statements")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCH_COMPARE(dbupdateAgainstShell, "dbupdate, data.db/real_time",
              "sqlite3 shell, same statements/real_time", Comparison::Speed, 0.5,
              "x the speed of the sqlite3 shell (goal: within 2x)");
