#ifndef DBUPDATETOOL_H
#define DBUPDATETOOL_H

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// How a run of the upgrade tool ended.
struct ToolRun
{
    bool crashed = false;
    int exitCode = -1;
    QByteArray standardError;
};

// The real dbupdate program and the legacy files it upgrades, for the tests that run it.
namespace DbUpdateTool {

// Runs dbupdate in workingDirectory with arguments; extraEnvironment adds NAME=VALUE entries.
// A launcher (a program and its arguments, e.g. one that changes the user) starts it when given,
// from a copy in workingDirectory.
ToolRun run(const QString &workingDirectory, const QStringList &arguments = QStringList(),
            const QStringList &extraEnvironment = QStringList(),
            const QStringList &launcher = QStringList());

// Writes profile.db, data.db and qc.db as the application left them at schema version 0, 1 or
// 2 into directory, with the repository's fixture generator.
bool makeLegacyFiles(const QString &directory, int version);

// The English translation the build compiled for the tool.
QString englishTranslation();

// A source file of the tool, by its path in the source tree ("dbupdate/updatedata.cpp").
QString sourceFile(const QString &relativePath);
// The line of file (a path in the source tree) holding text, 0 when there is none.
int sourceLine(const QString &relativePath, const QString &text);

// The text SQLite keeps in sqlite_master for a create statement: leading comment lines dropped,
// the first keywords in capitals, "if not exists" left out.
QString storedDefinition(const QString &statement);
// The sql column of sqlite_master for the object called name in fileName.
QString definitionOf(const QString &fileName, const QString &name);

QByteArray fileContents(const QString &path);
// Copies profile.db, data.db and qc.db, where present, from one directory to another.
bool copyDatabaseFiles(const QString &from, const QString &to);

} // namespace DbUpdateTool

#endif // DBUPDATETOOL_H
