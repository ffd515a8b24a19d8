#include "profileconnection_p.h"

#include <QAtomicInteger>
#include <QMutex>
#include <QThread>
#include <QThreadStorage>

namespace {

const char connectionName[] = "profile";

struct Registration
{
    QMutex mutex;
    QThread *owner = nullptr;
    quint64 generation = 0;
};

Q_GLOBAL_STATIC(Registration, registration)

class ThreadClone
{
public:
    ThreadClone() : name(QStringLiteral("profile#%1").arg(nextNumber.fetchAndAddRelaxed(1))) { }
    ~ThreadClone()
    {
        if (generation != 0)
            QSqlDatabase::removeDatabase(name);
    }
    Q_DISABLE_COPY(ThreadClone)

    const QString name;
    quint64 generation = 0;

private:
    static QAtomicInteger<quint64> nextNumber;
};

QAtomicInteger<quint64> ThreadClone::nextNumber;

QThreadStorage<ThreadClone *> threadClone;

// QSqlDatabase::database() warns through the message handler when it cannot open the file; the
// settings store has told the user once already, when the file was first opened.
QSqlDatabase openedQuietly(const QString &name)
{
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isOpen())
        db.open();
    return db;
}

} // namespace

QSqlDatabase ProfileConnection::registerAndOpen(const QString &path)
{
    QSqlDatabase db
        = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(connectionName));
    db.setDatabaseName(path);
    db.open();
    QMutexLocker locker(&registration->mutex);
    registration->owner = QThread::currentThread();
    ++registration->generation;
    return db;
}

QSqlDatabase ProfileConnection::forCurrentThread()
{
    QThread *owner;
    quint64 generation;
    {
        QMutexLocker locker(&registration->mutex);
        owner = registration->owner;
        generation = registration->generation;
    }
    if (owner == QThread::currentThread() || generation == 0)
        return openedQuietly(QLatin1String(connectionName));

    if (!threadClone.hasLocalData())
        threadClone.setLocalData(new ThreadClone);
    ThreadClone *clone = threadClone.localData();
    if (clone->generation != generation) {
        if (clone->generation != 0)
            QSqlDatabase::removeDatabase(clone->name);
        QSqlDatabase::cloneDatabase(QLatin1String(connectionName), clone->name);
        clone->generation = generation;
    }
    return openedQuietly(clone->name);
}
