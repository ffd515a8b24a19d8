#ifndef SERIAL_H
#define SERIAL_H

#include <core_export.h>

#include <QIODevice>
#include <QStringList>

#include <memory>

class SerialPrivate;

// One serial port as a byte-stream device. Every transfer is synchronous: a read or write
// blocks the calling thread until it completes or its time-out (setTimeouts) expires.
//
// Use: setFileName, open, then setSettings and setTimeouts (open applies neither), then read and
// write. The port is opened for exclusive use and released by close or destruction.
//
// On Linux a name beginning with "/" is a device path; any other is taken relative to "/dev"
// (EnumDevices lists such names, e.g. "ttyUSB0"). handle() is the file descriptor there.
class CORE_EXPORT Serial : public QIODevice
{
    Q_OBJECT

public:
    // The values are the codes of the Win32 line state, handed to the platform unchanged.
    enum Parity { NoParity = 0, OddParity = 1, EvenParity = 2, MarkParity = 3, SpaceParity = 4 };
    enum StopBits { OneStopBit = 0, OneAndHalfStopBits = 1, TwoStopBits = 2 };

    explicit Serial(QObject *parent = nullptr);
    ~Serial() override;

    // The names of the serial ports installed on this machine, each one accepted by setFileName.
    static QStringList EnumDevices();

    // Takes effect at the next open; fileName() returns it as given.
    void setFileName(const QString &name);
    QString fileName() const;

    // Opens for reading and writing, unbuffered, so that every read asks the port for exactly
    // the caller's count.
    bool open();
    bool open(OpenMode mode) override;
    void close() override;

    // Line settings; the port must be open. Turns on binary transfer and turns off hardware and
    // XON/XOFF flow control of output; leaves DTR/RTS control and XON/XOFF of input alone.
    // Returns false, changing nothing, when the port does not accept them.
    bool setSettings(int baudRate, int dataBits, Serial::Parity parity, Serial::StopBits stopBits);
    // Time-outs in milliseconds. A read of n bytes returns once n bytes have arrived, or when
    // more than readInterval passes between two bytes (0: no such limit), or n + readTotal after
    // it began, with whatever has arrived; a write of n bytes ends n + writeTotal after it began,
    // reporting what it wrote. Neither time-out is an error. Returns false on a closed device.
    // Until it is called after an open, the port keeps the time-outs the platform gives it; on
    // Linux, as on a fresh Win32 port, reads and writes then wait for their whole count.
    bool setTimeouts(int readInterval, int readTotal, int writeTotal);
    // Drops the bytes received and not yet read.
    void clearInputBuffer();
    // The platform's handle of the open port; the invalid value (-1) while closed.
    void *handle() const;

    bool isSequential() const override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    std::unique_ptr<SerialPrivate> d;
};

#endif // SERIAL_H
