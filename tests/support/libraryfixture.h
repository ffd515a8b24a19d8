#ifndef LIBRARYFIXTURE_H
#define LIBRARYFIXTURE_H

#include "profilefixture.h"

#include <profile.h>

#include <memory>

// A ProfileFixture whose files are the ones the library's own calls reach through
// Profile::instance(): the instance's connections "profile", "data" and "qc" are pointed at this
// test's workspace. The instance itself, with its settings cache and named-setting slots, is made
// once per process.
class LibraryFixture
{
public:
    // dataStatements run on the workspace's data.db first; false when anything failed.
    bool init(const QStringList &dataStatements = QStringList());
    QList<ShownMessageBox> cleanup();

private:
    ProfileFixture m_profileFixture;
    std::unique_ptr<Profile> m_connections;
};

#endif // LIBRARYFIXTURE_H
