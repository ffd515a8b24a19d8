#ifndef PROFILECONNECTION_P_H
#define PROFILECONNECTION_P_H

#include <QSqlDatabase>
#include <QString>

// Qt's SQL connections serve only the thread that opened them, while the settings may be read
// and written from any thread. Other threads get a clone of the "profile" connection of their
// own, opened on first use, renewed when "profile" is registered again and removed when the
// thread ends.
namespace ProfileConnection {

// Registers the connection "profile" for path, replacing an earlier one, and opens it on the
// calling thread.
QSqlDatabase registerAndOpen(const QString &path);

// The "profile" connection as the calling thread may use it.
QSqlDatabase forCurrentThread();

} // namespace ProfileConnection

#endif // PROFILECONNECTION_P_H
