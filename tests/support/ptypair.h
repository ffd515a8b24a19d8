#ifndef PTYPAIR_H
#define PTYPAIR_H

#include <QByteArray>
#include <QString>

// A pseudo-terminal: the test keeps the master side and talks through it with whatever opens
// the slave side by its path, as a device on the far end of a serial line would.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    Q_DISABLE_COPY(PtyPair)

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int master() const { return m_master; }
    // Hangs up the line: the slave's next read fails.
    void closeMaster();

    bool send(const QByteArray &bytes) const;
    // Reads from the master until count bytes arrived or timeoutMs passed without any.
    QByteArray receive(int count, int timeoutMs = 10000) const;

private:
    int m_master = -1;
    QString m_slavePath;
};

#endif // PTYPAIR_H
