#ifndef SERIAL_H
#define SERIAL_H

#include <core_export.h>

#include <QIODevice>
#include <QStringList>

#include <memory>

class SerialPrivate;

/// \file serial.h
/// The serial-port device Serial.

/// One serial port as a byte-stream device. Every transfer is synchronous: a read or write
/// blocks the calling thread until it completes or its time-out (setTimeouts()) expires.
///
/// Use: setFileName(), open(), then setSettings() and setTimeouts() (open() applies neither),
/// then read and write. The port is opened for exclusive use and released by close() or
/// destruction. Failures of the platform set the device's error string to the system's text;
/// misuse is written as a warning naming class and operation.
///
/// On Linux a name beginning with "/" is a device path; any other is taken relative to "/dev"
/// (EnumDevices() lists such names, e.g. "ttyUSB0"). handle() is the file descriptor there.
///
/// Threading: one thread at a time; a transfer blocks only the thread that calls it. The object
/// owns its port handle and nothing else.
class CORE_EXPORT Serial : public QIODevice
{
    Q_OBJECT

public:
    /// The parity of the line. The values are the codes of the Win32 line state, handed to the
    /// platform unchanged.
    enum Parity {
        NoParity = 0, ///< No parity bit.
        OddParity = 1, ///< Odd parity.
        EvenParity = 2, ///< Even parity.
        MarkParity = 3, ///< A parity bit that is always 1.
        SpaceParity = 4, ///< A parity bit that is always 0.
    };
    /// The stop bits of the line, as Win32 codes them.
    enum StopBits {
        OneStopBit = 0, ///< One stop bit.
        OneAndHalfStopBits = 1, ///< One and a half stop bits.
        TwoStopBits = 2, ///< Two stop bits.
    };

    /// A closed device without a port name.
    explicit Serial(QObject *parent = nullptr);
    /// Closes the port when it is open.
    ~Serial() override;

    /// The names of the serial ports installed on this machine, each one accepted by
    /// setFileName().
    static QStringList EnumDevices();

    /// Names the port to use as \a name; takes effect at the next open. fileName() returns it as
    /// given.
    void setFileName(const QString &name);
    /// The port name as setFileName() was given it.
    QString fileName() const;

    /// Opens for reading and writing, unbuffered, so that every read asks the port for exactly
    /// the caller's count.
    bool open();
    /// Opens the port in \a mode for exclusive use. Returns false with the system's error string
    /// when the port cannot be opened, and with a warning when the device is open already.
    bool open(OpenMode mode) override;
    /// Closes the device and releases the port.
    void close() override;

    /// Line settings; the port must be open. Turns on binary transfer and turns off hardware and
    /// XON/XOFF flow control of output; leaves DTR/RTS control and XON/XOFF of input alone.
    /// Returns false, changing nothing, when the port does not accept them, or with a warning
    /// when the device is closed.
    bool setSettings(int baudRate, int dataBits, Serial::Parity parity, Serial::StopBits stopBits);
    /// Time-outs in milliseconds. A read of n bytes returns once n bytes have arrived, or when
    /// more than \a readInterval passes between two bytes (0: no such limit), or n +
    /// \a readTotal after it began, with whatever has arrived; a write of n bytes ends n +
    /// \a writeTotal after it began, reporting what it wrote. Neither time-out is an error.
    /// Returns false on a closed device. Until it is called after an open, the port keeps the
    /// time-outs the platform gives it; on Linux, as on a fresh Win32 port, reads and writes then
    /// wait for their whole count.
    bool setTimeouts(int readInterval, int readTotal, int writeTotal);
    /// Drops the bytes received and not yet read.
    void clearInputBuffer();
    /// The platform's handle of the open port; the invalid value (-1) while closed.
    void *handle() const;

    /// True: a serial port is a stream without positions.
    bool isSequential() const override;
    /// The bytes received and not yet read, in the port and in the device's buffer.
    qint64 bytesAvailable() const override;

protected:
    /// Reads up to \a maxSize bytes into \a data under the time-outs and returns the count read.
    /// A failure of the port ends the read early and sets the system's error string.
    qint64 readData(char *data, qint64 maxSize) override;
    /// Writes up to \a size bytes of \a data under the time-outs and returns the count written.
    /// A failure of the port ends the write early and sets the system's error string.
    qint64 writeData(const char *data, qint64 size) override;

private:
    std::unique_ptr<SerialPrivate> d;
};

#endif // SERIAL_H
