#include "updatebase.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QVector>

class UpdateBasePrivate
{
public:
    int version = 0;
    bool open = false;
    QString fileName;
};

namespace {

// With DBUPDATE_ABORT_AFTER=N in the environment the tool ends with a fatal message right after
// the N-th statement it executed, counted across all three files: the way to show that a run
// interrupted anywhere can be completed by the next one.
void statementExecuted()
{
    static const int abortAfter = qEnvironmentVariableIntValue("DBUPDATE_ABORT_AFTER");
    static int executed = 0;
    if (++executed == abortAfter)
        qFatal("Aborted after statement %d (DBUPDATE_ABORT_AFTER)", executed);
}

bool execute(QSqlQuery &query, const QString &sql)
{
    const bool ok = query.exec(sql);
    statementExecuted();
    return ok;
}

bool execute(QSqlQuery &query)
{
    const bool ok = query.exec();
    statementExecuted();
    return ok;
}

// The items as the warning stream prints them, each followed by one space, but unquoted and with
// the last space kept: readers of the log match this exact form.
void report(const char *file, int line, const QString &error, const QString &statement)
{
    const QString text = QString::fromUtf8(file) + QLatin1String(" ( ") + QString::number(line)
        + QLatin1String(" ):  ") + error + QLatin1String(" : [ ") + statement
        + QLatin1String(" ] ");
    qWarning("%s", text.toUtf8().constData());
}

void reportQueryError(QSqlQuery query, const char *file, int line)
{
    report(file, line, query.lastError().text(), query.lastQuery());
}

// Runs sql on the default connection; reports a failure and returns whether it succeeded.
bool run(const QString &sql, const char *file, int line)
{
    QSqlQuery query;
    if (execute(query, sql))
        return true;
    reportQueryError(query, file, line);
    return false;
}

// The driver reads a zero-length blob as a null byte array, which would be bound as NULL.
QVariant boundValue(const QVariant &value)
{
    if (value.type() == QVariant::ByteArray && value.isNull())
        return QVariant(QByteArray(""));
    return value;
}

} // namespace

UpdateBase::UpdateBase(const QString &fileName, QObject *parent)
    : QObject(parent), d(new UpdateBasePrivate)
{
    d->fileName = fileName;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                QLatin1String(QSqlDatabase::defaultConnection));
    db.setDatabaseName(fileName);
    if (!db.open()) {
        qWarning("Can't open %s: %s", fileName.toUtf8().constData(),
                 db.lastError().text().toUtf8().constData());
        return;
    }
    // SQLite opens anything lazily; the first read tells whether this is a database at all.
    QSqlQuery query;
    if (!execute(query, QStringLiteral("select count(*) from sqlite_master"))) {
        qWarning("Can't open %s: %s", fileName.toUtf8().constData(),
                 query.lastError().text().toUtf8().constData());
        return;
    }
    d->open = true;
    if (execute(query, QStringLiteral("select version from version")) && query.next())
        d->version = query.value(0).toInt();
}

UpdateBase::~UpdateBase() = default;

int UpdateBase::version() const
{
    return d->version;
}

bool UpdateBase::isOpen() const
{
    return d->open;
}

bool UpdateBase::exec(const QString &sql, const char *file, int line)
{
    run(sql, file, line);
    return true;
}

bool UpdateBase::renameTable(const QString &oldName, const QString &newName)
{
    return exec(QStringLiteral("alter table %1 rename to %2").arg(oldName, newName), DBUPDATE_HERE);
}

bool UpdateBase::copyTable(const QString &target, const QString &source, const QSqlRecord &values,
                           const QStringList &removedColumns)
{
    const QString selectAll = QStringLiteral("select * from ") + source;
    QSqlQuery select;
    select.setForwardOnly(true);
    if (!execute(select, selectAll)) {
        reportQueryError(select, DBUPDATE_HERE);
        return true;
    }
    const QSqlRecord sourceColumns = select.record();
    select.finish();

    // Every row has the same columns, so the insert is worked out once. Values are bound rather
    // than written into the statement as literals: the driver's literals turn blobs into
    // hexadecimal text and numbers in untyped columns into strings.
    QSqlRecord columns = sourceColumns;
    for (const QString &name : removedColumns)
        columns.remove(columns.indexOf(name));
    QVector<int> sourceIndex; // per column of the insert; -1 takes the value from values
    for (int i = 0; i < columns.count(); ++i)
        sourceIndex << sourceColumns.indexOf(columns.fieldName(i));
    for (int i = 0; i < values.count(); ++i) {
        const int at = columns.indexOf(values.fieldName(i));
        if (at >= 0) {
            columns.setValue(at, values.value(i));
            sourceIndex[at] = -1;
        } else {
            columns.append(values.field(i));
            sourceIndex << -1;
        }
    }
    QSqlDriver *driver = QSqlDatabase::database().driver();
    QStringList names;
    QStringList placeholders;
    QStringList selected;
    for (int i = 0; i < columns.count(); ++i) {
        names << driver->escapeIdentifier(columns.fieldName(i), QSqlDriver::FieldName);
        placeholders << QStringLiteral("?");
        selected << (sourceIndex.at(i) >= 0 ? names.last() : placeholders.last());
    }

    // SQLite copies a whole table in one statement many times faster than row by row, with the
    // same values in the same order. Only when that fails is the copy made again a row at a
    // time, which keeps the rows before the failing one and reports that row's insert.
    QSqlQuery insert;
    if (execute(insert, QStringLiteral("savepoint copyTable"))) {
        bool copied = insert.prepare(QStringLiteral("insert into %1 (%2) select %3 from %4")
                                         .arg(target, names.join(QLatin1String(", ")),
                                              selected.join(QLatin1String(", ")), source));
        if (copied) {
            for (int i = 0; i < columns.count(); ++i) {
                if (sourceIndex.at(i) < 0)
                    insert.addBindValue(boundValue(columns.value(i)));
            }
            copied = execute(insert);
        }
        if (!copied)
            execute(insert, QStringLiteral("rollback to copyTable"));
        execute(insert, QStringLiteral("release copyTable"));
        if (copied)
            return true;
    }

    const bool prepared = insert.prepare(
        QStringLiteral("insert into %1 (%2) values (%3)")
            .arg(target, names.join(QLatin1String(", ")), placeholders.join(QLatin1String(", "))));
    if (!execute(select, selectAll)) {
        reportQueryError(select, DBUPDATE_HERE);
        return true;
    }
    while (select.next()) {
        for (int i = 0; i < columns.count(); ++i) {
            if (sourceIndex.at(i) >= 0)
                columns.setValue(i, select.value(sourceIndex.at(i)));
            insert.bindValue(i, boundValue(columns.value(i)));
        }
        if (!prepared || !execute(insert)) {
            // Named as the insert statement the driver writes for the row, values included.
            report(DBUPDATE_HERE, insert.lastError().text(),
                   driver->sqlStatement(QSqlDriver::InsertStatement, target, columns, false));
            return false;
        }
    }
    return true;
}

bool UpdateBase::rebuildTable(const QString &table, const QString &createSql,
                              const QString &indexSql, const char *file, int line)
{
    const QString oldCopy = table + QLatin1String("_bak");
    renameTable(table, oldCopy);
    exec(createSql, file, line);
    if (!indexSql.isEmpty())
        exec(indexSql, file, line);

    const bool began = run(QStringLiteral("begin"), DBUPDATE_HERE);
    const bool copied = copyTable(table, oldCopy, QSqlRecord(), QStringList());
    if (copied)
        exec(QStringLiteral("drop table ") + oldCopy, file, line);
    // The rows copied before a failed insert are kept, as the old copy is: they show where the
    // copy stopped.
    if (began && !run(QStringLiteral("commit"), DBUPDATE_HERE)) {
        run(QStringLiteral("rollback"), DBUPDATE_HERE);
        return false;
    }
    return copied;
}

bool UpdateBase::isWritable()
{
    // SQLite grants a write lock on a file it could only open read-only; a write, rolled back at
    // once, is what tells. Waiting for another program's lock costs one busy timeout here
    // instead of one per statement.
    QSqlQuery query;
    const bool writable = execute(query, QStringLiteral("begin immediate"))
        && execute(query, QStringLiteral("create table dbupdate_write_check(x)"));
    if (!writable) {
        qWarning("Can't write %s: %s", d->fileName.toUtf8().constData(),
                 query.lastError().text().toUtf8().constData());
    }
    QSqlQuery rollback; // fails, unreported, when no transaction began
    execute(rollback, QStringLiteral("rollback"));
    return writable;
}

bool UpdateBase::writeVersion(const char *file, int line)
{
    // One transaction, so that an interruption cannot leave the file without a version row.
    const bool began = run(QStringLiteral("begin"), DBUPDATE_HERE);
    const bool deleted = run(QStringLiteral("delete from version"), file, line);
    const bool inserted = run(QStringLiteral("insert into version values(2)"), file, line);
    if (!began)
        return deleted && inserted;
    if (deleted && inserted && run(QStringLiteral("commit"), DBUPDATE_HERE))
        return true;
    run(QStringLiteral("rollback"), DBUPDATE_HERE);
    return false;
}
