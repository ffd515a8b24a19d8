#include "dbupdatetool.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtDebug>

namespace DbUpdateTool {

ToolRun run(const QString &workingDirectory, const QStringList &arguments,
            const QStringList &extraEnvironment, const QStringList &launcher)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &entry : extraEnvironment) {
        const int equals = entry.indexOf(QLatin1Char('='));
        environment.insert(entry.left(equals), entry.mid(equals + 1));
    }
    process.setProcessEnvironment(environment);
    QString program = QStringLiteral(DBUPDATE_EXECUTABLE);
    if (!launcher.isEmpty()) {
        // The user the launcher becomes may not reach the build tree (a clone in a private
        // directory); the working directory is theirs, so the program runs from there.
        const QString copy = QDir(workingDirectory).filePath(QStringLiteral(".dbupdate"));
        if (!QFile::exists(copy) && !QFile::copy(program, copy))
            qWarning() << "cannot copy dbupdate to" << copy;
        program = copy;
    }
    const QStringList command = launcher + QStringList{ program } + arguments;
    process.start(command.first(), command.mid(1));
    ToolRun result;
    if (!process.waitForFinished(120000)) {
        qWarning() << "dbupdate did not finish:" << process.errorString();
        process.kill();
        process.waitForFinished();
        result.crashed = true;
        return result;
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = process.exitCode();
    result.standardError = process.readAllStandardError();
    return result;
}

bool makeLegacyFiles(const QString &directory, int version)
{
    QProcess process;
    process.start(QStringLiteral("bash"),
                  { QStringLiteral(LEGACY_FIXTURES_SCRIPT), directory, QString::number(version) });
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        qWarning() << "fixture generator failed:" << process.readAllStandardError();
        return false;
    }
    return true;
}

QString englishTranslation()
{
    return QStringLiteral(DBUPDATE_TRANSLATION);
}

QString sourceFile(const QString &relativePath)
{
    return QStringLiteral(DBUPDATE_SOURCE_ROOT) + relativePath;
}

int sourceLine(const QString &relativePath, const QString &text)
{
    QFile file(sourceFile(relativePath));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).contains(text))
            return i + 1;
    }
    return 0;
}

QString storedDefinition(const QString &statement)
{
    QString text = statement;
    while (text.startsWith(QLatin1String("--")))
        text = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
    static const QRegularExpression head(
        QStringLiteral("^create (unique )?(table|index|trigger) (if not exists )?"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = head.match(text);
    if (!match.hasMatch())
        return text;
    QString keywords = match.captured(0);
    if (match.capturedLength(3) > 0)
        keywords.remove(match.capturedStart(3), match.capturedLength(3));
    return keywords.toUpper() + text.mid(match.capturedEnd(0));
}

QString definitionOf(const QString &fileName, const QString &name)
{
    const QString connection = QStringLiteral("definitionOf");
    QString sql;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(fileName);
        QSqlQuery query(db);
        if (db.open()
            && query.prepare(QStringLiteral("select sql from sqlite_master where name = ?"))) {
            query.addBindValue(name);
            if (query.exec() && query.next())
                sql = query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return sql;
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool copyDatabaseFiles(const QString &from, const QString &to)
{
    for (const char *name : { "profile.db", "data.db", "qc.db" }) {
        const QString source = QDir(from).filePath(QLatin1String(name));
        const QString target = QDir(to).filePath(QLatin1String(name));
        QFile::remove(target);
        if (QFile::exists(source) && !QFile::copy(source, target))
            return false;
    }
    return true;
}

} // namespace DbUpdateTool
