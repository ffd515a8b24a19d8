#include "libraryfixture.h"

#include <QtDebug>

bool LibraryFixture::init(const QStringList &dataStatements)
{
    if (!m_profileFixture.init() || !Workspace::execute(QStringLiteral("data.db"), dataStatements))
        return false;
    Profile::instance();
    // The newest Profile registers the connection names anew, in the current directory; Qt says
    // so for each name it replaces, which is expected here.
    const QtMessageHandler previous
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    m_connections.reset(new Profile(QStringLiteral("profile.db")));
    qInstallMessageHandler(previous);
    return Profile::instance().dataDatabase().isOpen();
}

QList<ShownMessageBox> LibraryFixture::cleanup()
{
    m_connections.reset();
    return m_profileFixture.cleanup();
}
