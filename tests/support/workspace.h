#ifndef WORKSPACE_H
#define WORKSPACE_H

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

// A fresh temporary directory made the current directory for the workspace's lifetime, so that
// the library's relative database names land in it.
class Workspace
{
public:
    Workspace();
    ~Workspace();
    Q_DISABLE_COPY(Workspace)

    bool isValid() const;
    // The directory, which is the current one while the workspace lives.
    QString path() const;
    QString filePath(const QString &fileName) const;

    // profile.db with an empty settings table, and data.db and qc.db each with one table, so that
    // a Profile made here opens everything without complaint.
    bool createDatabaseFiles() const;

    // The statement that stores a settings row; valueLiteral is SQL ('text', 12, x'00ff').
    static QString settingInsert(const QString &key, const QString &valueLiteral);
    // Runs statements on a database file over a connection of its own; false on the first failure.
    static bool execute(const QString &fileName, const QStringList &statements);
    // Every row of a query, each row as a list of its column values.
    static QList<QVariantList> rows(const QString &fileName, const QString &query);
    // The value column of the settings row named name, an invalid variant when there is none.
    static QVariant storedSetting(const QString &name,
                                  const QString &fileName = QStringLiteral("profile.db"));

private:
    QTemporaryDir m_dir;
    QString m_previousDirectory;
};

#endif // WORKSPACE_H
