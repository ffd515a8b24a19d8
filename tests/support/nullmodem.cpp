#include "nullmodem.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

NullModem::NullModem() = default;

NullModem::~NullModem()
{
    if (m_socat.state() == QProcess::NotRunning)
        return;
    m_socat.terminate();
    if (!m_socat.waitForFinished(5000)) {
        m_socat.kill();
        m_socat.waitForFinished(5000);
    }
}

bool NullModem::start()
{
    const auto end = [](const QString &link) {
        return QStringLiteral("pty,raw,echo=0,link=%1").arg(link);
    };
    m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_socat.start(QStringLiteral("socat"), { end(firstEnd()), end(secondEnd()) });
    if (!m_socat.waitForStarted(10000)) {
        m_error = QStringLiteral("socat did not start: %1").arg(m_socat.errorString());
        return false;
    }
    // socat makes the links once both terminals exist; the machine may be slow to get there.
    QDeadlineTimer deadline(20000);
    while (!(QFileInfo::exists(firstEnd()) && QFileInfo::exists(secondEnd()))) {
        if (deadline.hasExpired() || m_socat.state() != QProcess::Running) {
            m_error = QStringLiteral("socat made no pseudo-terminals");
            return false;
        }
        QThread::msleep(10);
    }
    return true;
}

QString NullModem::firstEnd() const
{
    return m_dir.filePath(QStringLiteral("first"));
}

QString NullModem::secondEnd() const
{
    return m_dir.filePath(QStringLiteral("second"));
}
