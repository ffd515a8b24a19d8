#ifndef PROFILE_P_H
#define PROFILE_P_H

#include <QHash>
#include <QReadWriteLock>
#include <QString>
#include <QVariant>

class ProfilePrivate
{
public:
    explicit ProfilePrivate(const QString &path) : path(path) { }

    const QString path;
    // An entry with an invalid variant records a key known to have no value, so that it is
    // not looked up in the table again.
    QHash<QString, QVariant> cache;
    // Counts setValue() and remove() calls, so that a lookup that read the table meanwhile can
    // tell that its result may be stale.
    quint64 writes = 0;
    QReadWriteLock lock;
};

#endif // PROFILE_P_H
