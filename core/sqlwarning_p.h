#ifndef SQLWARNING_P_H
#define SQLWARNING_P_H

#include <QSqlError>
#include <QtDebug>

// A failed statement as the application's log has always shown it: the source location, given
// as ".\file(line):", then the error as Qt's debug stream prints it.
inline void warnSqlError(const char *location, const QSqlError &error)
{
    qWarning() << location << error;
}

#endif // SQLWARNING_P_H
