#include "profilefixture.h"

#include <QProcess>

bool ProfileFixture::init()
{
    m_workspace.reset(new Workspace);
    m_boxes.reset(new MessageBoxWatcher);
    return m_workspace->isValid() && m_workspace->createDatabaseFiles();
}

QList<ShownMessageBox> ProfileFixture::cleanup()
{
    const QList<ShownMessageBox> untaken = m_boxes->takeShown();
    m_boxes.reset();
    m_workspace.reset();
    return untaken;
}

QString probeInNewProcess(const QStringList &arguments)
{
    QProcess probe;
    probe.start(QStringLiteral(PROFILEPROBE), arguments);
    if (!probe.waitForFinished() || probe.exitCode() != 0)
        return QStringLiteral("<probe failed>");
    return QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
}
