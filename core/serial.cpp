#include "serial.h"

#include "serial_p.h"

#include <limits>

namespace {

QString devicePath(const QString &name)
{
    // An empty name stays empty, so that it fails like a missing port instead of opening the
    // device directory.
    if (name.isEmpty())
        return name;
    for (const char16_t *const *start = SerialPrivate::pathStarts; *start; ++start) {
        if (name.startsWith(QString::fromUtf16(*start)))
            return name;
    }
    return QString::fromUtf16(SerialPrivate::deviceNamespace) + name;
}

// Transfers are handed to the platform as 32-bit counts; a larger request is served in part,
// as a sequential device may, instead of wrapping around.
std::uint32_t transferCount(qint64 size)
{
    return static_cast<std::uint32_t>(
        qBound<qint64>(0, size, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

Serial::Serial(QObject *parent) : QIODevice(parent), d(new SerialPrivate) { }

Serial::~Serial()
{
    close();
}

QStringList Serial::EnumDevices()
{
    QStringList names;
    for (const std::u16string &name : SerialPrivate::enumDevices())
        names << QString::fromStdU16String(name);
    return names;
}

void Serial::setFileName(const QString &name)
{
    d->fileName = name.toStdU16String();
}

QString Serial::fileName() const
{
    return QString::fromStdU16String(d->fileName);
}

bool Serial::open()
{
    return open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

bool Serial::open(OpenMode mode)
{
    if (isOpen()) {
        qWarning("Serial::open: Serial (%s) is already open", qUtf8Printable(fileName()));
        return false;
    }
    int error = 0;
    if (!d->open(devicePath(fileName()).toStdU16String(), mode & QIODevice::ReadOnly,
                 mode & QIODevice::WriteOnly, error)) {
        setErrorString(qt_error_string(error));
        return false;
    }
    return QIODevice::open(mode);
}

void Serial::close()
{
    QIODevice::close();
    d->close();
}

bool Serial::setSettings(int baudRate, int dataBits, Serial::Parity parity,
                         Serial::StopBits stopBits)
{
    if (!isOpen()) {
        qWarning("Serial::setSettings: File is not open");
        return false;
    }
    return d->setSettings({ baudRate, dataBits, parity, stopBits });
}

bool Serial::setTimeouts(int readInterval, int readTotal, int writeTotal)
{
    // The platform takes unsigned milliseconds; a negative value means a very long time there.
    return d->setTimeouts(static_cast<std::uint32_t>(readInterval),
                          static_cast<std::uint32_t>(readTotal),
                          static_cast<std::uint32_t>(writeTotal));
}

void Serial::clearInputBuffer()
{
    d->clearInput();
}

void *Serial::handle() const
{
    return d->handle();
}

bool Serial::isSequential() const
{
    return true;
}

qint64 Serial::bytesAvailable() const
{
    return d->bytesWaiting() + QIODevice::bytesAvailable();
}

qint64 Serial::readData(char *data, qint64 maxSize)
{
    int error = 0;
    const qint64 count = d->read(data, transferCount(maxSize), error);
    if (error)
        setErrorString(qt_error_string(error));
    return count;
}

qint64 Serial::writeData(const char *data, qint64 size)
{
    int error = 0;
    const qint64 count = d->write(data, transferCount(size), error);
    if (error)
        setErrorString(qt_error_string(error));
    return count;
}
