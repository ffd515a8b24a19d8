#include "serial_p.h"

#include "serialspeed_linux_p.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

#include <fcntl.h>
#include <linux/major.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

const char16_t SerialPrivate::deviceNamespace[] = u"/dev/";
const char16_t *const SerialPrivate::pathStarts[] = { u"/", nullptr };

namespace {

using Clock = std::chrono::steady_clock;

// The termios codes of the rates the classic interface can name.
speed_t standardSpeed(int baudRate)
{
    static const struct
    {
        int rate;
        speed_t code;
    } speeds[] = {
        { 50, B50 },           { 75, B75 },           { 110, B110 },         { 134, B134 },
        { 150, B150 },         { 200, B200 },         { 300, B300 },         { 600, B600 },
        { 1200, B1200 },       { 1800, B1800 },       { 2400, B2400 },       { 4800, B4800 },
        { 9600, B9600 },       { 19200, B19200 },     { 38400, B38400 },     { 57600, B57600 },
        { 115200, B115200 },   { 230400, B230400 },   { 460800, B460800 },   { 500000, B500000 },
        { 576000, B576000 },   { 921600, B921600 },   { 1000000, B1000000 }, { 1152000, B1152000 },
        { 1500000, B1500000 }, { 2000000, B2000000 }, { 2500000, B2500000 }, { 3000000, B3000000 },
        { 3500000, B3500000 }, { 4000000, B4000000 },
    };
    for (const auto &speed : speeds) {
        if (speed.rate == baudRate)
            return speed.code;
    }
    return B0;
}

tcflag_t characterSize(int dataBits)
{
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

// The parity bits of c_cflag for a Serial::Parity code; mark and space are stick parity.
tcflag_t parityFlags(int parity)
{
    switch (parity) {
    case 1:
        return PARENB | PARODD;
    case 2:
        return PARENB;
    case 3:
        return PARENB | CMSPAR | PARODD;
    case 4:
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

// The c_cflag bits that the line settings own, which a driver that accepted them reads back.
constexpr tcflag_t lineFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

// A pseudo-terminal frames nothing, so the kernel keeps it at 8 bits without parity whatever it
// is told; there, those settings are accepted as they come back.
constexpr tcflag_t framingFlags = CSIZE | PARENB;

bool isPseudoTerminal(int fd)
{
    struct stat status
    { };
    if (::fstat(fd, &status) != 0)
        return false;
    const unsigned int deviceMajor = major(status.st_rdev);
    return deviceMajor >= UNIX98_PTY_SLAVE_MAJOR
        && deviceMajor < UNIX98_PTY_SLAVE_MAJOR + UNIX98_PTY_MAJOR_COUNT;
}

bool sameLine(const termios &applied, const termios &wanted, bool pseudoTerminal)
{
    const tcflag_t owned = pseudoTerminal ? lineFlags & ~framingFlags : lineFlags;
    return (applied.c_cflag & owned) == (wanted.c_cflag & owned)
        && (applied.c_iflag & IXON) == (wanted.c_iflag & IXON);
}

// Milliseconds from now until deadline, rounded up so that a wait never ends early.
int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

// Waits until fd is ready for events or the deadline (none: without end) passes; false when it
// passed with nothing ready. Once the deadline has passed, what is ready at once still counts.
bool waitFor(int fd, short events, const Clock::time_point *deadline)
{
    for (;;) {
        const int timeout = deadline ? millisecondsUntil(*deadline) : -1;
        pollfd entry{ fd, events, 0 };
        const int ready = ::poll(&entry, 1, timeout);
        // Readiness, errors and hang-ups all come back through the next read or write, and so
        // would a descriptor poll() cannot watch.
        if (ready > 0 || (ready < 0 && errno != EINTR))
            return true;
        if (ready == 0 && timeout == 0)
            return false;
        // Interrupted by a signal: wait out the rest.
    }
}

// Moves size bytes with step (a read or a write from the given offset, -1 and errno when it
// moves nothing) until all are done, the deadline (none: without end) passes or step fails.
template<typename Step, typename Progress>
std::uint32_t transfer(int fd, short events, std::uint32_t size, const Clock::time_point *deadline,
                       int &error, Step step, Progress progress)
{
    std::uint32_t done = 0;
    // Ask the driver only when it is ready: a write into a nearly full line would move a few
    // bytes at a time, and a read of an empty one would only fail.
    bool wait = true;
    while (done < size) {
        if (wait && !waitFor(fd, events, deadline))
            break;
        const ssize_t count = step(done);
        wait = count > 0 || errno != EINTR;
        if (count > 0) {
            done += static_cast<std::uint32_t>(count);
            progress();
        } else if (errno != EINTR && errno != EAGAIN) {
            error = errno;
            break;
        }
    }
    return done;
}

bool isPlaceholder(const QString &sysfsEntry)
{
    // serial_core lists every port its driver set aside; those without a UART behind them
    // report the port type 0 (unknown).
    QFile type(sysfsEntry + QLatin1String("/type"));
    return type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0";
}

} // namespace

std::vector<std::u16string> SerialPrivate::enumDevices()
{
    std::vector<std::u16string> names;
    const QDir ttys(QStringLiteral("/sys/class/tty"));
    for (const QString &name : ttys.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)) {
        const QString entry = ttys.filePath(name);
        // Virtual terminals and pseudo-terminals have no device behind them.
        if (!QFileInfo::exists(entry + QLatin1String("/device")) || isPlaceholder(entry))
            continue;
        // A port the kernel knows but no device node was made for cannot be opened by name.
        if (!QFileInfo::exists(QLatin1String("/dev/") + name))
            continue;
        names.push_back(name.toStdU16String());
    }
    return names;
}

bool SerialPrivate::isOpen() const
{
    return m_fd >= 0;
}

bool SerialPrivate::open(const std::u16string &path, bool read, bool write, int &error)
{
    const QByteArray file = QFile::encodeName(QString::fromStdU16String(path));
    const int access = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    // Non-blocking, so that neither the open nor a transfer waits on modem lines; transfers wait
    // in poll() against their own deadlines.
    const int fd = ::open(file.constData(), access | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    // TIOCEXCL keeps other openers out but lets root through; the lock keeps out every other
    // program that asks for the port exclusively, root or not.
    if (!::isatty(fd)) {
        error = ENOTTY;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? EBUSY : errno;
    } else if (::ioctl(fd, TIOCEXCL) != 0) {
        error = errno;
    } else {
        m_fd = fd;
        m_timeoutsSet = false;
        m_readInterval = m_readTotal = m_writeTotal = 0;
        return true;
    }
    ::close(fd);
    return false;
}

void SerialPrivate::close()
{
    if (m_fd < 0)
        return;
    // Exclusive use belongs to the terminal, not to this descriptor; give it up for the next
    // opener in case someone else still holds the terminal open.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

bool SerialPrivate::setSettings(const LineSettings &settings)
{
    const bool customSpeed = standardSpeed(settings.baudRate) == B0;
    if (settings.baudRate <= 0 || settings.dataBits < 5 || settings.dataBits > 8
        || settings.parity < 0 || settings.parity > 4 || settings.stopBits < 0
        || settings.stopBits > 2) {
        return false;
    }
    termios before{};
    if (::tcgetattr(m_fd, &before) != 0)
        return false;

    termios wanted = before;
    // Binary transfer: no line editing, echo, signals or translation of bytes either way.
    wanted.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL);
    wanted.c_oflag &= ~OPOST;
    wanted.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    wanted.c_cc[VMIN] = 1;
    wanted.c_cc[VTIME] = 0;
    // No flow control of output (XON/XOFF, CTS) and no dependence on the modem status lines;
    // XON/XOFF of input (IXOFF) and DTR/RTS on close (HUPCL) stay as they were.
    wanted.c_iflag &= ~IXON;
    wanted.c_cflag &= ~lineFlags;
    wanted.c_cflag
        |= CREAD | CLOCAL | characterSize(settings.dataBits) | parityFlags(settings.parity);
    // Linux has no 1.5 stop bits: CSTOPB gives 1.5 with 5 data bits on a UART, 2 otherwise.
    if (settings.stopBits != 0)
        wanted.c_cflag |= CSTOPB;
    if (!customSpeed) {
        ::cfsetispeed(&wanted, standardSpeed(settings.baudRate));
        ::cfsetospeed(&wanted, standardSpeed(settings.baudRate));
    }

    // tcsetattr() succeeds when the driver took any part of the settings; only reading them
    // back shows whether it took all.
    termios applied{};
    const bool accepted = ::tcsetattr(m_fd, TCSANOW, &wanted) == 0
        && (!customSpeed || SerialSpeed::setCustomSpeed(m_fd, settings.baudRate))
        && ::tcgetattr(m_fd, &applied) == 0 && sameLine(applied, wanted, isPseudoTerminal(m_fd))
        && (customSpeed || ::cfgetospeed(&applied) == ::cfgetospeed(&wanted));
    if (!accepted)
        ::tcsetattr(m_fd, TCSANOW, &before);
    return accepted;
}

bool SerialPrivate::setTimeouts(std::uint32_t readInterval, std::uint32_t readTotal,
                                std::uint32_t writeTotal)
{
    if (m_fd < 0)
        return false;
    m_timeoutsSet = true;
    m_readInterval = readInterval;
    m_readTotal = readTotal;
    m_writeTotal = writeTotal;
    return true;
}

void SerialPrivate::clearInput()
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIFLUSH);
}

void *SerialPrivate::handle() const
{
    return reinterpret_cast<void *>(static_cast<std::intptr_t>(m_fd));
}

std::int64_t SerialPrivate::bytesWaiting() const
{
    int count = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &count) != 0)
        return 0;
    return count;
}

std::int64_t SerialPrivate::read(char *data, std::uint32_t size, int &error)
{
    // Each requested byte adds a millisecond to the total time-out.
    const Clock::time_point total
        = Clock::now() + std::chrono::milliseconds(std::int64_t(size) + m_readTotal);
    Clock::time_point deadline = total;
    const auto step = [this, data, size](std::uint32_t done) {
        const ssize_t count = ::read(m_fd, data + done, size - done);
        // End of file on a terminal: the line was hung up and nothing more will come.
        if (count == 0)
            errno = EIO;
        return count == 0 ? -1 : count;
    };
    const auto arrived = [this, total, &deadline] {
        if (m_readInterval != 0)
            deadline = std::min(total, Clock::now() + std::chrono::milliseconds(m_readInterval));
    };
    return transfer(m_fd, POLLIN, size, m_timeoutsSet ? &deadline : nullptr, error, step, arrived);
}

std::int64_t SerialPrivate::write(const char *data, std::uint32_t size, int &error)
{
    const Clock::time_point deadline
        = Clock::now() + std::chrono::milliseconds(std::int64_t(size) + m_writeTotal);
    const auto step = [this, data, size](std::uint32_t done) {
        const ssize_t count = ::write(m_fd, data + done, size - done);
        if (count == 0)
            errno = EAGAIN;
        return count == 0 ? -1 : count;
    };
    return transfer(m_fd, POLLOUT, size, m_timeoutsSet ? &deadline : nullptr, error, step, [] {});
}
