#include "profile.h"

#include "cgglobal.h"
#include "profile_p.h"
#include "readwritelocker_p.h"
#include "threadconnection_p.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

const char profileConnectionName[] = "profile";
const char dataConnectionName[] = "data";
const char qcConnectionName[] = "qc";

void warnUser(const QString &text)
{
    warning(text, QMessageBox::Ok, QMessageBox::NoButton);
}

// Registers and opens the data or quality-control connection, and tells the user when the file
// is not usable.
void openDatabase(const char *connectionName, const QString &fileName)
{
    const QSqlDatabase db
        = ThreadConnection::registerAndOpen(QLatin1String(connectionName), fileName);
    if (!db.isOpen())
        warnUser(Profile::tr("无法打开数据库文件 %1").arg(fileName));
    if (db.tables(QSql::Tables).isEmpty())
        warnUser(Profile::tr("错误的数据库文件 %1").arg(fileName));
}

// Runs one settings statement on the calling thread's connection and gives the first column of
// its first row. A failure gives an invalid variant and no message: an unusable settings file
// has been reported to the user once, when the Profile was made.
QVariant runStatement(const QString &statement, const QVariantList &values)
{
    const QSqlDatabase db
        = ThreadConnection::forCurrentThread(QLatin1String(profileConnectionName));
    if (!db.isOpen())
        return QVariant();
    QSqlQuery query(db);
    if (!query.prepare(statement))
        return QVariant();
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (query.exec() && query.next())
        return query.value(0);
    return QVariant();
}

// The driver would store a colour with an alpha channel as #aarrggbb; the table holds #rrggbb.
QVariant storableForm(const QVariant &value)
{
    if (value.userType() == QMetaType::QColor)
        return value.value<QColor>().name(QColor::HexRgb);
    return value;
}

} // namespace

Profile::Profile(QObject *parent) : QObject(parent)
{
    init(QStringLiteral("profile.db"));
}

Profile::Profile(const QString &path, QObject *parent) : QObject(parent)
{
    init(path);
}

Profile::Profile(DeferredInit) : QObject(nullptr) { }

Profile::~Profile() = default;

Profile &Profile::instance()
{
    // The instance is published before init() runs: init() may show message boxes, and a
    // handler run by their event loop that asks for the instance must find it, not recurse.
    static std::unique_ptr<Profile> theInstance;
    if (!theInstance) {
        theInstance.reset(new Profile(DeferredInit()));
        theInstance->init(QStringLiteral("profile.db"));
    }
    return *theInstance;
}

void Profile::init(const QString &path)
{
    d.reset(new ProfilePrivate(path));

    const QSqlDatabase db
        = ThreadConnection::registerAndOpen(QLatin1String(profileConnectionName), path);
    if (!db.isOpen())
        warnUser(tr("无法加载配置文件 %1\n%2").arg(path, db.lastError().driverText()));
    if (db.tables(QSql::Tables).isEmpty())
        warnUser(tr("错误的配置文件 %1").arg(path));

    if (db.isOpen()) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (query.exec(QStringLiteral("select name, value from profile"))) {
            while (query.next())
                d->cache.insert(query.value(0).toString(), query.value(1));
        }
    }

    openDatabase(dataConnectionName, QStringLiteral("data.db"));
    openDatabase(qcConnectionName, QStringLiteral("qc.db"));
}

QSqlDatabase Profile::database() const
{
    return ThreadConnection::forCurrentThread(QLatin1String(profileConnectionName));
}

QSqlDatabase Profile::dataDatabase() const
{
    return ThreadConnection::forCurrentThread(QLatin1String(dataConnectionName));
}

QSqlDatabase Profile::qcDatabase() const
{
    return ThreadConnection::forCurrentThread(QLatin1String(qcConnectionName));
}

QVariant Profile::value(const QString &key, const QVariant &defaultValue)
{
    quint64 writesBeforeLookup;
    {
        SharedLocker locker(d->lock);
        const auto entry = d->cache.constFind(key);
        if (entry != d->cache.constEnd())
            return entry->isValid() ? *entry : defaultValue;
        writesBeforeLookup = d->writes;
    }

    QVariant result
        = runStatement(QStringLiteral("select value from profile where name = ?"), { key });
    {
        ExclusiveLocker locker(d->lock);
        // The table was read without the lock. A setValue() or remove() that ran meanwhile is
        // newer than what was read, and recording the read over it would undo it for good.
        const auto entry = d->cache.constFind(key);
        if (entry != d->cache.constEnd())
            result = *entry;
        else if (d->writes == writesBeforeLookup)
            d->cache.insert(key, result);
    }
    return result.isValid() ? result : defaultValue;
}

QVariant Profile::value2(const QString &key, const QString &fallbackKey,
                         const QVariant &defaultValue)
{
    const QVariant first = value(key);
    return first.isValid() ? first : value(fallbackKey, defaultValue);
}

void Profile::setValue(const QString &key, const QVariant &value, bool save)
{
    {
        ExclusiveLocker locker(d->lock);
        d->cache.insert(key, value);
        ++d->writes;
    }
    if (!save)
        return;

    if (value.isValid())
        runStatement(QStringLiteral("insert or replace into profile (name, value) values(?,?)"),
                     { key, storableForm(value) });
    else
        runStatement(QStringLiteral("delete from profile where name = ?"), { key });
}

void Profile::remove(const QString &key)
{
    {
        ExclusiveLocker locker(d->lock);
        d->cache.remove(key);
        ++d->writes;
    }
    runStatement(QStringLiteral("delete from profile where name = ?"), { key });
}

QStringList Profile::keys() const
{
    SharedLocker locker(d->lock);
    return d->cache.keys();
}
