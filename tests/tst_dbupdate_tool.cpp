// The tool's entry as a service engineer meets it: where its messages go, how the log grows, and
// what an aborted run leaves in the log.
#include "dbupdatetool.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QByteArray missingPatientReport
    = "no such table: patient Unable to execute statement : [ alter table patient add sampleType "
      "text ] ";

} // namespace

class tst_DbUpdateTool : public QObject
{
    Q_OBJECT

private slots:
    void withoutArgumentsReportsGoToStandardError();
    void unopenableLogFileLeavesReportsOnStandardError();
    void logIsAppendedAcrossRuns();
    void abortedRunLeavesFatalLineInLog();
};

void tst_DbUpdateTool::withoutArgumentsReportsGoToStandardError()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    const ToolRun run = DbUpdateTool::run(workspace.path());
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.standardError.contains(missingPatientReport), run.standardError.constData());
    QCOMPARE(QDir().entryList(QDir::Files, QDir::Name),
             (QStringList{ QStringLiteral("data.db"), QStringLiteral("profile.db"),
                           QStringLiteral("qc.db") }));
}

void tst_DbUpdateTool::unopenableLogFileLeavesReportsOnStandardError()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    const ToolRun run
        = DbUpdateTool::run(workspace.path(), { QStringLiteral("no-such-directory/update.log") });
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.standardError.contains(missingPatientReport));
}

void tst_DbUpdateTool::logIsAppendedAcrossRuns()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    const QString log = QStringLiteral("update.log");
    const ToolRun first = DbUpdateTool::run(workspace.path(), { log });
    QCOMPARE(first.exitCode, 0);
    QVERIFY(first.standardError.isEmpty());
    const QByteArray firstLog = DbUpdateTool::fileContents(log);
    QVERIFY(firstLog.startsWith("Warning: "));
    // The library's own warnings reach the log as well.
    QVERIFY(firstLog.contains("\nWarning: QSqlDatabasePrivate::addDatabase: duplicate connection "
                              "name 'qt_sql_default_connection', old connection removed.\n"));
    QVERIFY(firstLog.contains("\nWarning: dbupdate/updatedata.cpp ( "));

    QCOMPARE(DbUpdateTool::run(workspace.path(), { log }).exitCode, 0);
    const QByteArray bothLogs = DbUpdateTool::fileContents(log);
    QVERIFY(bothLogs.startsWith(firstLog));
    const QByteArray secondLog = bothLogs.mid(firstLog.size());
    // The second run finds the tables and reports only what the settings table lacks.
    QVERIFY(secondLog.startsWith("Warning: dbupdate/updateprofile.cpp ( "));
    QVERIFY(!secondLog.contains(missingPatientReport));
}

// The log is flushed line by line: an abort leaves the fatal line and everything before it.
void tst_DbUpdateTool::abortedRunLeavesFatalLineInLog()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    const ToolRun run = DbUpdateTool::run(workspace.path(), { QStringLiteral("update.log") },
                                          { QStringLiteral("DBUPDATE_ABORT_AFTER=12") });
    QVERIFY(run.crashed);
    const QByteArray log = DbUpdateTool::fileContents(QStringLiteral("update.log"));
    QVERIFY2(log.startsWith("Warning: dbupdate/updatebase.cpp ( "), log.constData());
    QVERIFY2(log.endsWith("\nFatal: Aborted after statement 12 (DBUPDATE_ABORT_AFTER)\n"),
             log.constData());
}

QTEST_GUILESS_MAIN(tst_DbUpdateTool)
#include "tst_dbupdate_tool.moc"
