#ifndef UPDATEBASE_H
#define UPDATEBASE_H

#include <QObject>
#include <QSqlRecord>
#include <QStringList>

#include <memory>

// The source file of a call site as failure reports name it: relative to the source tree, so that
// a report reads the same whichever directory the tool was built in.
constexpr const char *relativeSourcePath(const char *path)
{
#ifdef DBUPDATE_SOURCE_ROOT
    const char *root = DBUPDATE_SOURCE_ROOT;
    const char *rest = path;
    while (*root != '\0' && *root == *rest) {
        ++root;
        ++rest;
    }
    return *root == '\0' ? rest : path;
#else
    return path;
#endif
}

// The file and line of the call site, as exec() takes them.
#define DBUPDATE_HERE relativeSourcePath(__FILE__), __LINE__

// One statement of an upgrade step list, with the line it is written on for its failure report.
struct UpdateStatement
{
    int line;
    const char *sql;
};

class UpdateBasePrivate;

// Opens one database file as the default connection, reads its schema version, and gives the
// upgraders the operations their steps are made of.
class UpdateBase : public QObject
{
    Q_OBJECT

public:
    UpdateBase(const QString &fileName, QObject *parent);
    ~UpdateBase() override;

    int version() const;
    // False when the file could not be opened or read as an SQLite database; nothing may be run
    // on it then, or the run would report success over a file it never upgraded.
    bool isOpen() const;

    virtual bool update() = 0;

protected:
    // Always true: a failing statement is reported and the upgrade goes on.
    bool exec(const QString &sql, const char *file, int line);
    template<typename Statements>
    void exec(const Statements &statements, const char *file);

    bool renameTable(const QString &oldName, const QString &newName);
    bool copyTable(const QString &target, const QString &source, const QSqlRecord &values,
                   const QStringList &removedColumns);
    // Gives table a new definition and keeps its rows: renamed to table_bak, created anew (with
    // its index when indexSql is not empty), rows copied, old copy dropped. The copy and the
    // drop are one transaction, so an interrupted run leaves either the old copy or the finished
    // table. False when a row could not be copied.
    bool rebuildTable(const QString &table, const QString &createSql, const QString &indexSql,
                      const char *file, int line);

    // False, reported, when the file is read-only or locked by another program; changes nothing.
    bool isWritable();
    // Leaves the single version row 2; false when it could not be written. Failures are reported
    // with the caller's file and line.
    bool writeVersion(const char *file, int line);

private:
    std::unique_ptr<UpdateBasePrivate> d;
};

template<typename Statements>
void UpdateBase::exec(const Statements &statements, const char *file)
{
    for (const UpdateStatement &statement : statements)
        exec(QString::fromUtf8(statement.sql), file, statement.line);
}

#endif // UPDATEBASE_H
