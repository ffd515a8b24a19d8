#include "threadconnection_p.h"

#include <QAtomicInteger>
#include <QHash>
#include <QMutex>
#include <QThread>
#include <QThreadStorage>

namespace {

struct Registration
{
    QThread *owner = nullptr;
    quint64 generation = 0;
};

struct Registry
{
    QMutex mutex;
    QHash<QString, Registration> registrations;
    quint64 lastGeneration = 0;
};

Q_GLOBAL_STATIC(Registry, registry)

// The clones one thread has made, removed with the thread.
class ThreadClones
{
public:
    ThreadClones() = default;
    ~ThreadClones()
    {
        for (const Clone &clone : qAsConst(m_clones))
            QSqlDatabase::removeDatabase(clone.name);
    }
    Q_DISABLE_COPY(ThreadClones)

    // The clone of name made from its registration of the given generation.
    QString cloneOf(const QString &name, quint64 generation)
    {
        Clone &clone = m_clones[name];
        if (clone.generation != generation) {
            if (clone.name.isEmpty())
                clone.name
                    = QStringLiteral("%1#%2").arg(name).arg(nextNumber.fetchAndAddRelaxed(1));
            else
                QSqlDatabase::removeDatabase(clone.name);
            QSqlDatabase::cloneDatabase(name, clone.name);
            clone.generation = generation;
        }
        return clone.name;
    }

private:
    struct Clone
    {
        QString name;
        quint64 generation = 0;
    };
    QHash<QString, Clone> m_clones;
    static QAtomicInteger<quint64> nextNumber;
};

QAtomicInteger<quint64> ThreadClones::nextNumber;

QThreadStorage<ThreadClones *> threadClones;

// QSqlDatabase::database() warns through the message handler when it cannot open the file.
QSqlDatabase openedQuietly(const QString &name)
{
    QSqlDatabase db = QSqlDatabase::database(name, false);
    if (!db.isOpen())
        db.open();
    return db;
}

} // namespace

QSqlDatabase ThreadConnection::registerAndOpen(const QString &name, const QString &fileName)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(fileName);
    db.open();
    QMutexLocker locker(&registry->mutex);
    registry->registrations.insert(name, { QThread::currentThread(), ++registry->lastGeneration });
    return db;
}

QSqlDatabase ThreadConnection::forCurrentThread(const QString &name)
{
    Registration registration;
    {
        QMutexLocker locker(&registry->mutex);
        registration = registry->registrations.value(name);
    }
    if (registration.owner == QThread::currentThread() || registration.generation == 0)
        return openedQuietly(name);

    if (!threadClones.hasLocalData())
        threadClones.setLocalData(new ThreadClones);
    return openedQuietly(threadClones.localData()->cloneOf(name, registration.generation));
}
