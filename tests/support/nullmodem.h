#ifndef NULLMODEM_H
#define NULLMODEM_H

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Two pseudo-terminals joined by socat, standing in for two serial ports joined by a null-modem
// cable: what one end sends, the other receives. The ends are symbolic links in a temporary
// directory; socat stops when the object goes.
class NullModem
{
public:
    NullModem();
    ~NullModem();
    Q_DISABLE_COPY(NullModem)

    // Starts socat and waits until both ends exist; false (with the reason in errorString())
    // when they do not appear.
    bool start();
    QString errorString() const { return m_error; }

    QString firstEnd() const;
    QString secondEnd() const;

private:
    QTemporaryDir m_dir;
    QProcess m_socat;
    QString m_error;
};

#endif // NULLMODEM_H
