#ifndef THREADCONNECTION_P_H
#define THREADCONNECTION_P_H

#include <QSqlDatabase>
#include <QString>

// Qt 5's SQL connections serve only the thread that opened them, while the library's callers
// may use the settings and the databases from any thread. A connection registered here is used
// as it is on the thread that registered it; every other thread gets a clone of its own, opened
// on first use, renewed when the name is registered again and removed when the thread ends.
namespace ThreadConnection {

// Registers the SQLite connection name for fileName, replacing an earlier one of that name,
// and opens it on the calling thread.
QSqlDatabase registerAndOpen(const QString &name, const QString &fileName);

// The connection name as the calling thread may use it, opened if it can be. A file that cannot
// be opened gives a closed connection and no warning: the user was told when it was registered.
QSqlDatabase forCurrentThread(const QString &name);

} // namespace ThreadConnection

#endif // THREADCONNECTION_P_H
