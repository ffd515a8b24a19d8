// The upgrade framework as the real tool shows it: version rows, failure reports, table copies
// that keep every value or stop at a collision, files that cannot be upgraded, and runs that are
// interrupted and completed later.
#include "dbupdatetool.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

namespace {

QVariantList column(const QString &fileName, const QString &query)
{
    QVariantList values;
    for (const QVariantList &row : Workspace::rows(fileName, query))
        values << row.value(0);
    return values;
}

bool tableExists(const QString &fileName, const QString &table)
{
    return !Workspace::rows(
                fileName,
                QStringLiteral("select 1 from sqlite_master where name = '%1'").arg(table))
                .isEmpty();
}

const QStringList databaseFiles{ QStringLiteral("profile.db"), QStringLiteral("data.db"),
                                 QStringLiteral("qc.db") };

} // namespace

class tst_DbUpdateFramework : public QObject
{
    Q_OBJECT

private slots:
    void versionGroups_data();
    void versionGroups();
    void failureReportLine();
    void copyKeepsEveryValue();
    void collisionStopsTheCopyAndTheRun();
    void columnMissingInNewTableCopiesNothing();
    void emptyTableIsRebuilt();
    void missingFilesAreCreatedAndUpgraded();
    void unusableFileEndsTheRun_data();
    void unusableFileEndsTheRun();
    void lockedFileEndsTheRunAfterOneWait();
    void readOnlyFileEndsTheRun();
    void secondRunChangesNoSchema();
    void interruptedRunIsCompletedByTheNext();
};

void tst_DbUpdateFramework::versionGroups_data()
{
    QTest::addColumn<QStringList>("versionRows");
    QTest::addColumn<bool>("versionOneGroupRuns");
    QTest::addColumn<bool>("versionTwoGroupRuns");

    const QString create = QStringLiteral("create table version(version integer)");
    const QString insert = QStringLiteral("insert into version values(%1)");
    QTest::newRow("no version table") << QStringList() << true << true;
    QTest::newRow("empty version table") << QStringList{ create } << true << true;
    QTest::newRow("0") << QStringList{ create, insert.arg(0) } << true << true;
    QTest::newRow("1") << QStringList{ create, insert.arg(1) } << false << true;
    QTest::newRow("2") << QStringList{ create, insert.arg(2) } << false << false;
    QTest::newRow("3") << QStringList{ create, insert.arg(3) } << false << false;
    QTest::newRow("several rows, first 1")
        << QStringList{ create, insert.arg(1), insert.arg(0), insert.arg(2) } << false << true;
}

// The groups are told apart by what they leave in data.db: the first creates detail, the second
// the trigger on patient.
void tst_DbUpdateFramework::versionGroups()
{
    QFETCH(QStringList, versionRows);
    QFETCH(bool, versionOneGroupRuns);
    QFETCH(bool, versionTwoGroupRuns);

    Workspace workspace;
    QVERIFY(workspace.isValid());
    const QStringList schema = QStringList{
        QStringLiteral("create table patient (id integer primary key, sampleNo, date)")
    } + versionRows;
    QVERIFY(Workspace::execute(QStringLiteral("data.db"), schema));
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"),
                               versionRows.isEmpty() ? QStringList{ QStringLiteral("vacuum") }
                                                     : versionRows));
    QVERIFY(Workspace::execute(QStringLiteral("qc.db"), QStringList{ QStringLiteral("vacuum") }));

    const ToolRun run = DbUpdateTool::run(workspace.path());
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 0);

    const QVariantList two{ 2 };
    QCOMPARE(column(QStringLiteral("profile.db"), QStringLiteral("select version from version")),
             two);
    QCOMPARE(column(QStringLiteral("data.db"), QStringLiteral("select version from version")), two);
    QCOMPARE(tableExists(QStringLiteral("data.db"), QStringLiteral("detail")), versionOneGroupRuns);
    QCOMPARE(tableExists(QStringLiteral("data.db"), QStringLiteral("on_delete_patient")),
             versionTwoGroupRuns);
    QCOMPARE(tableExists(QStringLiteral("profile.db"), QStringLiteral("curveInfo")),
             versionOneGroupRuns);
    QVERIFY(!tableExists(QStringLiteral("qc.db"), QStringLiteral("version")));
}

// Each item followed by one space, unquoted, the file relative to the source tree.
void tst_DbUpdateFramework::failureReportLine()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QCOMPARE(DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") }).exitCode, 0);
    const QString log = QString::fromUtf8(DbUpdateTool::fileContents(QStringLiteral("update.log")));

    const QString data = QStringLiteral("dbupdate/updatedata.cpp");
    const int alterLine = DbUpdateTool::sourceLine(data, QStringLiteral("add sampleType text"));
    QVERIFY(alterLine > 0);
    QVERIFY2(log.contains(QStringLiteral("Warning: dbupdate/updatedata.cpp ( %1 ):  no such table: "
                                         "patient Unable to execute statement : [ alter table "
                                         "patient add sampleType text ] \n")
                              .arg(alterLine)),
             qPrintable(log));

    // Steps of the framework itself name the framework's file.
    const QString base = QStringLiteral("dbupdate/updatebase.cpp");
    const int renameLine = DbUpdateTool::sourceLine(base, QStringLiteral("rename to %2"));
    QVERIFY(renameLine > 0);
    QVERIFY(log.contains(QStringLiteral("Warning: dbupdate/updatebase.cpp ( %1 ):  no such table: "
                                        "user Unable to execute statement : [ alter table user "
                                        "rename to user_bak ] \n")
                             .arg(renameLine)));

    // A statement of several lines is printed with its line breaks.
    QVERIFY(log.contains(QStringLiteral(" : [ create trigger on_delete_patient after delete on "
                                        "patient\nbegin\n\tdelete from exam where")));
    QVERIFY(!log.contains(DbUpdateTool::sourceFile(QString())));
}

// The old rows reach the rebuilt table with their storage classes and values unchanged: Qt's
// insert-statement builder would write the blob as hexadecimal text.
void tst_DbUpdateFramework::copyKeepsEveryValue()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { QStringLiteral("create table user (id integer primary key, name text unique, "
                         "password text, level integer)"),
          QStringLiteral("insert into user values(1, 'O''Neil', x'00ff27', 9223372036854775807)"),
          QStringLiteral("insert into user values(2, '张医生', NULL, 0.30000000000000004)"),
          QStringLiteral("insert into user values(8589934592, 'quote''s \"double\"', '', "
                         "-4294967297)"),
          QStringLiteral("insert into user values(4, 'x', x'', 1e300)"),
          QStringLiteral("insert into user values(5, 'y', 'line' || char(10) || 'break', NULL)"),
          QStringLiteral("insert into user values(6, 'z', 'ünïcødé', 12)") }));
    const QString query = QStringLiteral(
        "select id, typeof(name), name, typeof(password), password, typeof(level), level "
        "from user order by id");
    const QList<QVariantList> before = Workspace::rows(QStringLiteral("profile.db"), query);
    QCOMPARE(before.size(), 6);

    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);

    QCOMPARE(Workspace::rows(QStringLiteral("profile.db"), query), before);
    QCOMPARE(column(QStringLiteral("profile.db"),
                    QStringLiteral("select count(*) from user where hide = 0")),
             QVariantList{ 6 });
}

void tst_DbUpdateFramework::collisionStopsTheCopyAndTheRun()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { QStringLiteral("delete from user"),
          QStringLiteral("insert into user values(1, 'admin', 'a', 9), (2, 'Bob', 'b', 1), "
                         "(3, 'ADMIN', 'c', 1), (4, 'carol', 'd', 1)") }));
    const QByteArray data = DbUpdateTool::fileContents(QStringLiteral("data.db"));
    const QByteArray qc = DbUpdateTool::fileContents(QStringLiteral("qc.db"));

    const ToolRun run = DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") });
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 1);

    QCOMPARE(
        column(QStringLiteral("profile.db"), QStringLiteral("select id from user_bak order by id")),
        (QVariantList{ 1, 2, 3, 4 }));
    QCOMPARE(
        column(QStringLiteral("profile.db"), QStringLiteral("select id from user order by id")),
        (QVariantList{ 1, 2 }));
    QVERIFY(!tableExists(QStringLiteral("profile.db"), QStringLiteral("version")));
    QVERIFY(!tableExists(QStringLiteral("profile.db"), QStringLiteral("curveInfo")));
    QCOMPARE(DbUpdateTool::fileContents(QStringLiteral("data.db")), data);
    QCOMPARE(DbUpdateTool::fileContents(QStringLiteral("qc.db")), qc);

    const QString log = QString::fromUtf8(DbUpdateTool::fileContents(QStringLiteral("update.log")));
    QVERIFY2(log.contains(QStringLiteral("UNIQUE constraint failed: user.name")), qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("'ADMIN'")));
}

void tst_DbUpdateFramework::columnMissingInNewTableCopiesNothing()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { QStringLiteral("create table user (id integer primary key, name text, email text)"),
          QStringLiteral("insert into user values(1, 'admin', 'a@b'), (2, 'bob', NULL)") }));

    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 1);
    QCOMPARE(column(QStringLiteral("profile.db"), QStringLiteral("select count(*) from user")),
             QVariantList{ 0 });
    QCOMPARE(column(QStringLiteral("profile.db"), QStringLiteral("select count(*) from user_bak")),
             QVariantList{ 2 });
    QVERIFY(!QFile::exists(QStringLiteral("data.db")));
}

void tst_DbUpdateFramework::emptyTableIsRebuilt()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(Workspace::execute(
        QStringLiteral("profile.db"),
        { QStringLiteral(
            "create table user (id integer primary key, name text, password text)") }));

    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);
    QVERIFY(!tableExists(QStringLiteral("profile.db"), QStringLiteral("user_bak")));
    QVERIFY(column(QStringLiteral("profile.db"),
                   QStringLiteral("select sql from sqlite_master where name = 'user'"))
                .value(0)
                .toString()
                .contains(QStringLiteral("hide integer default 0")));
}

void tst_DbUpdateFramework::missingFilesAreCreatedAndUpgraded()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    const ToolRun run = DbUpdateTool::run(workspace.path());
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 0);

    for (const QString &file : databaseFiles)
        QVERIFY2(QFile::exists(file), qPrintable(file));
    const QString tables
        = QStringLiteral("select name from sqlite_master where type = 'table' order by name");
    QCOMPARE(column(QStringLiteral("profile.db"), tables),
             (QVariantList{ QStringLiteral("curveInfo"), QStringLiteral("user"),
                            QStringLiteral("version") }));
    QCOMPARE(column(QStringLiteral("data.db"), tables),
             (QVariantList{ QStringLiteral("department"), QStringLiteral("detail"),
                            QStringLiteral("diagnosis"), QStringLiteral("doctor"),
                            QStringLiteral("operator"), QStringLiteral("sex"),
                            QStringLiteral("treatmentRoom"), QStringLiteral("version") }));
    QCOMPARE(column(QStringLiteral("qc.db"), tables), QVariantList());
    QCOMPARE(column(QStringLiteral("profile.db"), QStringLiteral("select version from version")),
             QVariantList{ 2 });
    QCOMPARE(column(QStringLiteral("data.db"), QStringLiteral("select version from version")),
             QVariantList{ 2 });
}

void tst_DbUpdateFramework::unusableFileEndsTheRun_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("directory");

    for (const QString &file : databaseFiles) {
        QTest::addRow("%s is a directory", qPrintable(file)) << file << true;
        QTest::addRow("%s is not a database", qPrintable(file)) << file << false;
    }
}

// The file is reported and left as it was; the files after it are not even opened.
void tst_DbUpdateFramework::unusableFileEndsTheRun()
{
    QFETCH(QString, file);
    QFETCH(bool, directory);

    Workspace workspace;
    QVERIFY(workspace.isValid());
    const QByteArray garbage = QByteArray("this is a text file, not a database\n").repeated(64);
    if (directory) {
        QVERIFY(QDir().mkdir(file));
    } else {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(garbage);
    }

    const ToolRun run = DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") });
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 1);

    const QString log = QString::fromUtf8(DbUpdateTool::fileContents(QStringLiteral("update.log")));
    QVERIFY2(log.contains(QStringLiteral("Warning: Can't open %1: ").arg(file)), qPrintable(log));
    if (directory)
        QVERIFY(QFileInfo(file).isDir());
    else
        QCOMPARE(DbUpdateTool::fileContents(file), garbage);
    for (int i = databaseFiles.indexOf(file) + 1; i < databaseFiles.size(); ++i)
        QVERIFY2(!QFile::exists(databaseFiles.at(i)), qPrintable(databaseFiles.at(i)));
}

// Another program's write lock: one busy timeout, one report, nothing written, later files
// untouched.
void tst_DbUpdateFramework::lockedFileEndsTheRunAfterOneWait()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    const QByteArray data = DbUpdateTool::fileContents(QStringLiteral("data.db"));
    const QByteArray qc = DbUpdateTool::fileContents(QStringLiteral("qc.db"));

    const QString connection = QStringLiteral("application");
    ToolRun run;
    {
        QSqlDatabase application = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        application.setDatabaseName(QStringLiteral("data.db"));
        QVERIFY(application.open());
        QSqlQuery lock(application);
        QVERIFY(lock.exec(QStringLiteral("begin immediate")));
        run = DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") });
        QVERIFY(lock.exec(QStringLiteral("rollback")));
    }
    QSqlDatabase::removeDatabase(connection);

    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 1);
    const QString log = QString::fromUtf8(DbUpdateTool::fileContents(QStringLiteral("update.log")));
    QVERIFY2(log.contains(QStringLiteral("Warning: Can't write data.db: database is locked")),
             qPrintable(log));
    QVERIFY(!log.contains(QStringLiteral("updatedata.cpp")));
    QCOMPARE(DbUpdateTool::fileContents(QStringLiteral("data.db")), data);
    QCOMPARE(DbUpdateTool::fileContents(QStringLiteral("qc.db")), qc);
    QCOMPARE(column(QStringLiteral("profile.db"), QStringLiteral("select version from version")),
             QVariantList{ 2 });
}

void tst_DbUpdateFramework::readOnlyFileEndsTheRun()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(QStringLiteral("data.db"), readOnly));
    const QByteArray data = DbUpdateTool::fileContents(QStringLiteral("data.db"));

    // The superuser writes read-only files, so the tool then runs as nobody, with the directory
    // and the other files open to everyone.
    QStringList launcher;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("running as the superuser without setpriv to become another user");
        launcher = QStringList{ setpriv, QStringLiteral("--reuid=65534"),
                                QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups") };
        const QFile::Permissions all
            = readOnly | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        QVERIFY(QFile::setPermissions(workspace.path(),
                                      all | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(QStringLiteral("profile.db"), all));
        QVERIFY(QFile::setPermissions(QStringLiteral("qc.db"), all));
    }

    const ToolRun run = DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") },
                                          QStringList(), launcher);
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 1);
    const QString log = QString::fromUtf8(DbUpdateTool::fileContents(QStringLiteral("update.log")));
    QVERIFY2(log.contains(QStringLiteral("Warning: Can't write data.db: attempt to write a "
                                         "readonly database")),
             qPrintable(log));
    QVERIFY(!log.contains(QStringLiteral("updatedata.cpp")));
    QCOMPARE(DbUpdateTool::fileContents(QStringLiteral("data.db")), data);
    QCOMPARE(column(QStringLiteral("profile.db"), QStringLiteral("select version from version")),
             QVariantList{ 2 });
}

void tst_DbUpdateFramework::secondRunChangesNoSchema()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(DbUpdateTool::makeLegacyFiles(workspace.path(), 0));
    QCOMPARE(DbUpdateTool::run(workspace.path()).exitCode, 0);
    const QString schema
        = QStringLiteral("select type, name, sql from sqlite_master order by name");
    QHash<QString, QList<QVariantList>> before;
    for (const QString &file : databaseFiles)
        before[file] = Workspace::rows(file, schema);

    const ToolRun run = DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") });
    QCOMPARE(run.exitCode, 0);
    for (const QString &file : databaseFiles)
        QCOMPARE(Workspace::rows(file, schema), before.value(file));
    // Only the settings that exist already are reported.
    const QString log = QString::fromUtf8(DbUpdateTool::fileContents(QStringLiteral("update.log")));
    QVERIFY(!log.contains(QStringLiteral("updatedata.cpp")));
    QVERIFY(!log.contains(QStringLiteral("updatebase.cpp")));
    QVERIFY(log.contains(QStringLiteral("insert or abort into profile values('schedule/sample'")));
}

// The run is ended after its first statement, then after its second, and so on until it gets
// through; after each, a full run must succeed and find every old row.
void tst_DbUpdateFramework::interruptedRunIsCompletedByTheNext()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    const QString legacy = workspace.filePath(QStringLiteral("legacy"));
    const QString work = workspace.filePath(QStringLiteral("work"));
    QVERIFY(QDir().mkpath(work));
    QVERIFY(DbUpdateTool::makeLegacyFiles(legacy, 0));

    const QString users = QStringLiteral("select id, name, password, level from user order by id");
    const QStringList lookupTables{ QStringLiteral("department"),    QStringLiteral("sex"),
                                    QStringLiteral("treatmentRoom"), QStringLiteral("diagnosis"),
                                    QStringLiteral("doctor"),        QStringLiteral("operator") };
    const QString lookup = QStringLiteral("select id, abbr, name from %1 order by id");
    const QList<QVariantList> userRows
        = Workspace::rows(legacy + QStringLiteral("/profile.db"), users);
    QHash<QString, QList<QVariantList>> lookupRows;
    for (const QString &table : lookupTables)
        lookupRows[table] = Workspace::rows(legacy + QStringLiteral("/data.db"), lookup.arg(table));
    QVERIFY(!userRows.isEmpty());

    int interrupted = 0;
    for (int statement = 1;; ++statement) {
        QVERIFY(DbUpdateTool::copyDatabaseFiles(legacy, work));
        const ToolRun first
            = DbUpdateTool::run(work, { QStringLiteral("update.log") },
                                { QStringLiteral("DBUPDATE_ABORT_AFTER=%1").arg(statement) });
        if (!first.crashed) {
            QCOMPARE(first.exitCode, 0);
            break;
        }
        ++interrupted;
        const ToolRun second = DbUpdateTool::run(work);
        QVERIFY2(!second.crashed && second.exitCode == 0,
                 qPrintable(QStringLiteral("after statement %1").arg(statement)));
        const QString profile = work + QStringLiteral("/profile.db");
        const QString data = work + QStringLiteral("/data.db");
        QCOMPARE(Workspace::rows(profile, users), userRows);
        for (const QString &table : lookupTables) {
            QCOMPARE(Workspace::rows(data, lookup.arg(table)), lookupRows.value(table));
            QVERIFY(!tableExists(data, table + QStringLiteral("_bak")));
        }
        QCOMPARE(column(profile, QStringLiteral("select version from version")), QVariantList{ 2 });
        QCOMPARE(column(data, QStringLiteral("select version from version")), QVariantList{ 2 });
    }
    // The fixture's run has well over a hundred statements; fewer means the hook missed some.
    QVERIFY2(interrupted > 100, qPrintable(QString::number(interrupted)));
}

QTEST_GUILESS_MAIN(tst_DbUpdateFramework)
#include "tst_dbupdate_framework.moc"
