#include "ptypair.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    int slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&m_master, &slave, name, &raw, nullptr) != 0) {
        m_master = -1;
        return;
    }
    // Only the device under test keeps the slave side open.
    ::close(slave);
    m_slavePath = QFile::decodeName(name);
}

PtyPair::~PtyPair()
{
    closeMaster();
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool PtyPair::send(const QByteArray &bytes) const
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(m_master, bytes.constData() + done, bytes.size() - done);
        if (count < 0 && errno != EINTR)
            return false;
        done += qMax<ssize_t>(count, 0);
    }
    return true;
}

QByteArray PtyPair::receive(int count, int timeoutMs) const
{
    QByteArray bytes;
    while (bytes.size() < count) {
        pollfd entry{ m_master, POLLIN, 0 };
        if (::poll(&entry, 1, timeoutMs) <= 0)
            break;
        char buffer[4096];
        const ssize_t got
            = ::read(m_master, buffer, qMin<qsizetype>(sizeof buffer, count - bytes.size()));
        if (got <= 0)
            break;
        bytes.append(buffer, int(got));
    }
    return bytes;
}
