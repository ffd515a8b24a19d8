#include "workspace.h"

#include <QSqlRecord>

#include <QAtomicInt>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

namespace {

// Runs f with a connection of its own to fileName, removed again afterwards.
template<typename F>
auto withConnection(const QString &fileName, F f)
{
    static QAtomicInt counter;
    const QString name = QStringLiteral("workspace#%1").arg(counter.fetchAndAddRelaxed(1));
    struct Remover
    {
        QString name;
        ~Remover() { QSqlDatabase::removeDatabase(name); }
    } remover{ name };
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(fileName);
    if (!db.open())
        qWarning() << "cannot open" << fileName << db.lastError().text();
    return f(db);
}

} // namespace

Workspace::Workspace() : m_previousDirectory(QDir::currentPath())
{
    if (m_dir.isValid())
        QDir::setCurrent(m_dir.path());
}

Workspace::~Workspace()
{
    QDir::setCurrent(m_previousDirectory);
}

bool Workspace::isValid() const
{
    return m_dir.isValid() && QDir::currentPath() == QDir(m_dir.path()).canonicalPath();
}

QString Workspace::path() const
{
    return m_dir.path();
}

QString Workspace::filePath(const QString &fileName) const
{
    return m_dir.filePath(fileName);
}

bool Workspace::createDatabaseFiles() const
{
    return execute(filePath(QStringLiteral("profile.db")),
                   { QStringLiteral("create table profile (name text primary key, value)") })
        && execute(filePath(QStringLiteral("data.db")),
                   { QStringLiteral("create table patient (id integer primary key, sampleNo)") })
        && execute(filePath(QStringLiteral("qc.db")),
                   { QStringLiteral("create table qcFile (id integer primary key)") });
}

QString Workspace::settingInsert(const QString &key, const QString &valueLiteral)
{
    return QStringLiteral("insert into profile (name, value) values ('%1', %2)")
        .arg(QString(key).replace(QLatin1Char('\''), QLatin1String("''")), valueLiteral);
}

bool Workspace::execute(const QString &fileName, const QStringList &statements)
{
    return withConnection(fileName, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        for (const QString &statement : statements) {
            if (!query.exec(statement)) {
                qWarning() << statement << query.lastError().text();
                return false;
            }
        }
        return true;
    });
}

QList<QVariantList> Workspace::rows(const QString &fileName, const QString &queryText)
{
    return withConnection(fileName, [&](QSqlDatabase &db) {
        QList<QVariantList> result;
        QSqlQuery query(db);
        if (!query.exec(queryText)) {
            qWarning() << queryText << query.lastError().text();
            return result;
        }
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            result << row;
        }
        return result;
    });
}

QVariant Workspace::storedSetting(const QString &name, const QString &fileName)
{
    return withConnection(fileName, [&](QSqlDatabase &db) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("select value from profile where name = ?"));
        query.addBindValue(name);
        return query.exec() && query.next() ? query.value(0) : QVariant();
    });
}
