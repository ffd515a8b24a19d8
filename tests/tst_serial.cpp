#include "nullmodem.h"
#include "ptypair.h"
#include "warninglog.h"

#include <serial.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// The settings of a terminal as stty shows them to another program.
QString sttyAll(const QString &path)
{
    QProcess stty;
    stty.start(QStringLiteral("stty"), { QStringLiteral("-F"), path, QStringLiteral("-a") });
    if (!stty.waitForFinished(30000) || stty.exitCode() != 0)
        return QString();
    return QString::fromLocal8Bit(stty.readAllStandardOutput());
}

bool stty(const QString &path, const QStringList &settings)
{
    return QProcess::execute(QStringLiteral("stty"),
                             QStringList{ QStringLiteral("-F"), path } + settings)
        == 0;
}

QStringList sttyFlags(const QString &path)
{
    return sttyAll(path).split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts);
}

int openDescriptorCount()
{
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::System | QDir::NoDotAndDotDot)
        .size();
}

// Opens serial on the pty's far end as a plain 9600 8N1 line, as most cases want it.
bool openRaw(Serial &serial, const PtyPair &pty)
{
    serial.setFileName(pty.slavePath());
    return serial.open() && serial.setSettings(9600, 8, Serial::NoParity, Serial::OneStopBit);
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes.append(char(i));
    return bytes;
}

// Sends one byte every interval from another thread until stopped or count bytes went.
class Trickle
{
public:
    Trickle(const PtyPair &pty, int intervalMs, int count = std::numeric_limits<int>::max())
        : m_thread([this, &pty, intervalMs, count] {
            for (int i = 0; i < count && !m_stop; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
                pty.send(QByteArray(1, char('a' + i % 26)));
            }
        })
    { }
    ~Trickle()
    {
        m_stop = true;
        m_thread.join();
    }
    Q_DISABLE_COPY(Trickle)

private:
    std::atomic<bool> m_stop{ false };
    std::thread m_thread;
};

} // namespace

class tst_Serial : public QObject
{
    Q_OBJECT

private slots:
    void newDeviceIsClosed();
    void portNames_data();
    void portNames();
    void openFails_data();
    void openFails();
    void failedOpensLeakNothing();
    void openModes_data();
    void openModes();
    void secondOpenWarnsAndKeepsThePort();
    void exclusiveUse();
    void destructionFreesThePort();
    void closeTwice();
    void handleIsTheDescriptor();
    void settingsReadBack_data();
    void settingsReadBack();
    void settingsReadBackOnAUart_data();
    void settingsReadBackOnAUart();
    void settingsLeaveInputFlowAndModemControl_data();
    void settingsLeaveInputFlowAndModemControl();
    void customBaudRate();
    void invalidSettingsChangeNothing_data();
    void invalidSettingsChangeNothing();
    void closedDeviceRefusesSettingsAndTimeouts();
    void bytesBothWays();
    void bytesThroughNullModem();
    void readTimeouts_data();
    void readTimeouts();
    void freshPortWaitsForTheWholeCount();
    void writeEndsAtItsDeadline();
    void clearInputBuffer();
    void bufferedOpenCountsTheBaseBuffer();
    void hangUpSetsTheErrorString();
    void enumDevicesListsOpenableNames();
};

void tst_Serial::newDeviceIsClosed()
{
    Serial serial;
    QVERIFY(serial.fileName().isEmpty());
    QCOMPARE(serial.handle(), reinterpret_cast<void *>(-1));
    QVERIFY(!serial.isOpen());
    QVERIFY(serial.isSequential());
    QCOMPARE(serial.bytesAvailable(), qint64(0));
    QCOMPARE(serial.metaObject()->className(), "Serial");
}

void tst_Serial::portNames_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("absolute path") << QStringLiteral("absolute");
    QTest::newRow("name under /dev") << QStringLiteral("relative");
    QTest::newRow("link to the device") << QStringLiteral("link");
}

void tst_Serial::portNames()
{
    QFETCH(QString, kind);
    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir dir;
    QString name = pty.slavePath();
    if (kind == QLatin1String("relative")) {
        name.remove(0, int(std::strlen("/dev/")));
    } else if (kind == QLatin1String("link")) {
        name = dir.filePath(QStringLiteral("ttyLink"));
        QVERIFY(QFile::link(pty.slavePath(), name));
    }

    Serial serial;
    serial.setFileName(name);
    QVERIFY2(serial.open(), qPrintable(serial.errorString()));
    QCOMPARE(serial.fileName(), name);
    QCOMPARE(serial.openMode(), QIODevice::ReadWrite | QIODevice::Unbuffered);
    QVERIFY(pty.send("ping"));
    QVERIFY(serial.setTimeouts(0, 5000, 0));
    QCOMPARE(serial.read(4), QByteArray("ping"));
}

void tst_Serial::openFails_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("empty name") << QString() << ENOENT;
    QTest::newRow("missing device") << QStringLiteral("ttyNoSuchPort7") << ENOENT;
    QTest::newRow("directory") << QStringLiteral("/tmp") << EISDIR;
    QTest::newRow("regular file") << QStringLiteral("regular") << ENOTTY;
}

void tst_Serial::openFails()
{
    QFETCH(QString, name);
    QFETCH(int, error);
    QTemporaryDir dir;
    if (name == QLatin1String("regular")) {
        name = dir.filePath(name);
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    Serial serial;
    serial.setFileName(name);
    QVERIFY(!serial.open());
    QCOMPARE(serial.errorString(), systemError(error));
    QVERIFY(!serial.isOpen());
    QCOMPARE(serial.handle(), reinterpret_cast<void *>(-1));
    QCOMPARE(serial.fileName(), name);
}

void tst_Serial::failedOpensLeakNothing()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial holder;
    holder.setFileName(pty.slavePath());
    QVERIFY(holder.open());
    QTemporaryDir dir;
    const QString regular = dir.filePath(QStringLiteral("regular"));
    QFile file(regular);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const int before = openDescriptorCount();
    Serial serial;
    for (int i = 0; i < 200; ++i) {
        for (const QString &name : { pty.slavePath(), regular, QStringLiteral("/tmp"),
                                     QStringLiteral("ttyNoSuchPort7") }) {
            serial.setFileName(name);
            QVERIFY(!serial.open());
        }
    }
    QCOMPARE(openDescriptorCount(), before);
}

void tst_Serial::openModes_data()
{
    QTest::addColumn<int>("openMode");
    QTest::newRow("read") << int(QIODevice::ReadOnly | QIODevice::Unbuffered);
    QTest::newRow("write") << int(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTest::newRow("read and write, buffered") << int(QIODevice::ReadWrite);
}

void tst_Serial::openModes()
{
    QFETCH(int, openMode);
    const QIODevice::OpenMode mode(openMode);
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY2(serial.open(mode), qPrintable(serial.errorString()));
    QCOMPARE(serial.openMode(), mode);
    QVERIFY(serial.setTimeouts(0, 2000, 2000));
    if (mode & QIODevice::WriteOnly) {
        QCOMPARE(serial.write("out"), qint64(3));
        QCOMPARE(pty.receive(3), QByteArray("out"));
    }
    if (mode & QIODevice::ReadOnly) {
        QVERIFY(pty.send("in"));
        QVERIFY(serial.setTimeouts(50, 5000, 0));
        QCOMPARE(serial.read(2), QByteArray("in"));
    }
}

void tst_Serial::secondOpenWarnsAndKeepsThePort()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open());
    void *const handle = serial.handle();
    {
        WarningLog log;
        QVERIFY(!serial.open(QIODevice::ReadOnly));
        QCOMPARE(
            log.warnings(),
            QStringList(
                QStringLiteral("Serial::open: Serial (%1) is already open").arg(pty.slavePath())));
    }
    QVERIFY(serial.isOpen());
    QCOMPARE(serial.handle(), handle);
    QCOMPARE(serial.openMode(), QIODevice::ReadWrite | QIODevice::Unbuffered);
    QCOMPARE(serial.write("still"), qint64(5));
    QCOMPARE(pty.receive(5), QByteArray("still"));
}

void tst_Serial::exclusiveUse()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial first;
    first.setFileName(pty.slavePath());
    QVERIFY(first.open());

    Serial second;
    second.setFileName(pty.slavePath());
    QVERIFY(!second.open());
    QCOMPARE(second.errorString(), systemError(EBUSY));
    QVERIFY(!second.isOpen());
    // Another program asking for the port exclusively is kept out as well, root or not.
    const QStringList flockArguments{ QStringLiteral("--nonblock"),
                                      QStringLiteral("--conflict-exit-code"), QStringLiteral("99"),
                                      pty.slavePath(), QStringLiteral("true") };
    QCOMPARE(QProcess::execute(QStringLiteral("flock"), flockArguments), 99);

    first.close();
    QCOMPARE(QProcess::execute(QStringLiteral("flock"), flockArguments), 0);
    QVERIFY2(second.open(), qPrintable(second.errorString()));
}

void tst_Serial::destructionFreesThePort()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    {
        Serial first;
        first.setFileName(pty.slavePath());
        QVERIFY(first.open());
    }
    Serial second;
    second.setFileName(pty.slavePath());
    QVERIFY2(second.open(), qPrintable(second.errorString()));
}

void tst_Serial::closeTwice()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    WarningLog log;
    Serial serial;
    serial.close();
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open());
    QSignalSpy aboutToClose(&serial, &QIODevice::aboutToClose);
    serial.close();
    serial.close();
    QCOMPARE(aboutToClose.count(), 1);
    QVERIFY(!serial.isOpen());
    QCOMPARE(serial.handle(), reinterpret_cast<void *>(-1));
    QVERIFY(log.warnings().isEmpty());
    QVERIFY(serial.open());
}

void tst_Serial::handleIsTheDescriptor()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open());
    const int fd = int(reinterpret_cast<std::intptr_t>(serial.handle()));
    struct stat viaHandle
    { };
    struct stat viaPath
    { };
    QCOMPARE(::fstat(fd, &viaHandle), 0);
    QCOMPARE(::stat(QFile::encodeName(pty.slavePath()).constData(), &viaPath), 0);
    QCOMPARE(viaHandle.st_rdev, viaPath.st_rdev);
    QVERIFY(isatty(fd));
}

void tst_Serial::settingsReadBack_data()
{
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<QStringList>("framing");

    // A pseudo-terminal keeps 8 data bits without parity whatever it is told (it frames
    // nothing); everything else it keeps, so it shows what the device asked for.
    const QStringList raw{ QStringLiteral("-icanon"), QStringLiteral("-echo"),
                           QStringLiteral("-isig"),   QStringLiteral("-icrnl"),
                           QStringLiteral("-opost"),  QStringLiteral("-crtscts"),
                           QStringLiteral("-ixon"),   QStringLiteral("clocal"),
                           QStringLiteral("cread") };
    const auto words = [](const char *line) {
        return QString::fromLatin1(line).split(QLatin1Char(' '));
    };
    const auto flags = [&raw, &words](const char *line) {
        return raw + words(line);
    };
    QTest::newRow("9600 8N1") << 9600 << 8 << int(Serial::NoParity) << int(Serial::OneStopBit)
                              << flags("9600 -parodd -cmspar -cstopb") << words("cs8 -parenb");
    QTest::newRow("115200 7E1") << 115200 << 7 << int(Serial::EvenParity) << int(Serial::OneStopBit)
                                << flags("115200 -parodd -cmspar -cstopb") << words("cs7 parenb");
    QTest::newRow("19200 8O2") << 19200 << 8 << int(Serial::OddParity) << int(Serial::TwoStopBits)
                               << flags("19200 parodd -cmspar cstopb") << words("cs8 parenb");
    QTest::newRow("1200 6M1") << 1200 << 6 << int(Serial::MarkParity) << int(Serial::OneStopBit)
                              << flags("1200 parodd cmspar -cstopb") << words("cs6 parenb");
    QTest::newRow("300 5S1.5") << 300 << 5 << int(Serial::SpaceParity)
                               << int(Serial::OneAndHalfStopBits)
                               << flags("300 -parodd cmspar cstopb") << words("cs5 parenb");
    QTest::newRow("4000000 8N2") << 4000000 << 8 << int(Serial::NoParity)
                                 << int(Serial::TwoStopBits)
                                 << flags("4000000 -parodd -cmspar cstopb") << words("cs8 -parenb");
}

void tst_Serial::settingsReadBack()
{
    QFETCH(int, baudRate);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QFETCH(QStringList, flags);
    PtyPair pty;
    QVERIFY(pty.isValid());
    // Start from a cooked terminal with output flow control, as a login line has it.
    QVERIFY(stty(pty.slavePath(),
                 { QStringLiteral("sane"), QStringLiteral("ixon"), QStringLiteral("crtscts") }));
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open());

    QVERIFY(
        serial.setSettings(baudRate, dataBits, Serial::Parity(parity), Serial::StopBits(stopBits)));
    const QStringList shown = sttyFlags(pty.slavePath());
    for (const QString &flag : flags)
        QVERIFY2(shown.contains(flag),
                 qPrintable(flag + QLatin1String(" missing from: ") + shown.join(u' ')));
}

void tst_Serial::settingsReadBackOnAUart_data()
{
    settingsReadBack_data();
}

void tst_Serial::settingsReadBackOnAUart()
{
    QFETCH(int, baudRate);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QFETCH(QStringList, flags);
    QFETCH(QStringList, framing);
    // Only a port nobody uses: never the kernel's console.
    QFile console(QStringLiteral("/sys/class/tty/console/active"));
    const QStringList consoles = console.open(QIODevice::ReadOnly)
        ? QString::fromLatin1(console.readAll())
              .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)
        : QStringList();
    Serial serial;
    for (const QString &name : Serial::EnumDevices()) {
        if (consoles.contains(name))
            continue;
        serial.setFileName(name);
        if (serial.open())
            break;
    }
    if (!serial.isOpen())
        QSKIP("This machine has no serial port free for the test.");
    const QString path = QLatin1String("/dev/") + serial.fileName();
    QProcess save;
    save.start(QStringLiteral("stty"), { QStringLiteral("-F"), path, QStringLiteral("-g") });
    QVERIFY(save.waitForFinished(30000));
    const QString saved = QString::fromLatin1(save.readAllStandardOutput()).trimmed();
    const auto restore = qScopeGuard([&] { stty(path, { saved }); });

    if (!serial.setSettings(baudRate, dataBits, Serial::Parity(parity), Serial::StopBits(stopBits)))
        QSKIP("The port's driver does not offer these settings.");
    const QStringList shown = sttyFlags(path);
    for (const QString &flag : flags + framing)
        QVERIFY2(shown.contains(flag),
                 qPrintable(flag + QLatin1String(" missing from: ") + shown.join(u' ')));
}

void tst_Serial::settingsLeaveInputFlowAndModemControl_data()
{
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("on") << QStringList{ QStringLiteral("ixoff"), QStringLiteral("hupcl") };
    QTest::newRow("off") << QStringList{ QStringLiteral("-ixoff"), QStringLiteral("-hupcl") };
}

void tst_Serial::settingsLeaveInputFlowAndModemControl()
{
    QFETCH(QStringList, kept);
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(stty(pty.slavePath(), kept));
    Serial serial;
    QVERIFY(openRaw(serial, pty));
    const QStringList shown = sttyFlags(pty.slavePath());
    for (const QString &flag : kept)
        QVERIFY2(shown.contains(flag), qPrintable(flag));
}

void tst_Serial::customBaudRate()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open());
    // A pseudo-terminal runs any rate it is given.
    QVERIFY(serial.setSettings(31250, 7, Serial::EvenParity, Serial::TwoStopBits));
    const QStringList shown = sttyFlags(pty.slavePath());
    for (const char *flag : { "-parodd", "cstopb", "-crtscts", "-ixon" })
        QVERIFY2(shown.contains(QLatin1String(flag)), flag);
}

void tst_Serial::invalidSettingsChangeNothing_data()
{
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("baud rate 0") << 0 << 8 << 0 << 0;
    QTest::newRow("negative baud rate") << -9600 << 8 << 0 << 0;
    QTest::newRow("4 data bits") << 9600 << 4 << 0 << 0;
    QTest::newRow("9 data bits") << 9600 << 9 << 0 << 0;
    QTest::newRow("parity 5") << 9600 << 8 << 5 << 0;
    QTest::newRow("parity -1") << 9600 << 8 << -1 << 0;
    QTest::newRow("stop bits 3") << 9600 << 8 << 0 << 3;
    QTest::newRow("stop bits -1") << 9600 << 8 << 0 << -1;
}

void tst_Serial::invalidSettingsChangeNothing()
{
    QFETCH(int, baudRate);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    PtyPair pty;
    QVERIFY(pty.isValid());
    QVERIFY(stty(pty.slavePath(), { QStringLiteral("sane"), QStringLiteral("19200") }));
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open());
    const QString before = sttyAll(pty.slavePath());
    QVERIFY(!before.isEmpty());

    WarningLog log;
    QVERIFY(!serial.setSettings(baudRate, dataBits, Serial::Parity(parity),
                                Serial::StopBits(stopBits)));
    QCOMPARE(sttyAll(pty.slavePath()), before);
    QVERIFY(log.warnings().isEmpty());
}

void tst_Serial::closedDeviceRefusesSettingsAndTimeouts()
{
    Serial serial;
    WarningLog log;
    QVERIFY(!serial.setSettings(9600, 8, Serial::NoParity, Serial::OneStopBit));
    const QStringList notOpen{ QStringLiteral("Serial::setSettings: File is not open") };
    QCOMPARE(log.warnings(), notOpen);
    QVERIFY(!serial.setTimeouts(50, 500, 1000));
    QCOMPARE(log.warnings(), notOpen);
}

void tst_Serial::bytesBothWays()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open());
    QVERIFY(serial.setSettings(115200, 8, Serial::NoParity, Serial::OneStopBit));
    QVERIFY(serial.setTimeouts(200, 10000, 10000));
    const QByteArray bytes = allByteValues();

    QCOMPARE(serial.write(bytes), qint64(bytes.size()));
    QCOMPARE(pty.receive(bytes.size()), bytes);
    QVERIFY(pty.send(bytes));
    QCOMPARE(serial.read(bytes.size()), bytes);
}

void tst_Serial::bytesThroughNullModem()
{
    NullModem cable;
    QVERIFY2(cable.start(), qPrintable(cable.errorString()));
    Serial left;
    Serial right;
    left.setFileName(cable.firstEnd());
    right.setFileName(cable.secondEnd());
    for (Serial *end : { &left, &right }) {
        QVERIFY2(end->open(), qPrintable(end->errorString()));
        QVERIFY(end->setSettings(57600, 8, Serial::NoParity, Serial::OneStopBit));
        QVERIFY(end->setTimeouts(500, 10000, 10000));
    }
    QByteArray bytes;
    for (int i = 0; i < 16; ++i)
        bytes += allByteValues();

    QCOMPARE(left.write(bytes), qint64(bytes.size()));
    QCOMPARE(right.read(bytes.size()), bytes);
    QCOMPARE(right.write(bytes), qint64(bytes.size()));
    QCOMPARE(left.read(bytes.size()), bytes);
}

void tst_Serial::readTimeouts_data()
{
    QTest::addColumn<int>("readInterval");
    QTest::addColumn<int>("readTotal");
    QTest::addColumn<QByteArray>("sentBefore");
    QTest::addColumn<int>("trickleMs"); // one byte every trickleMs after the read began, 0: none
    QTest::addColumn<int>("trickleCount");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("minimumBytes");
    QTest::addColumn<int>("maximumBytes");
    QTest::addColumn<int>("minimumMs");
    QTest::addColumn<int>("maximumMs");

    // Lower bounds are what the time-outs promise; upper bounds only show which limit ended the
    // read, with plenty of room for a busy machine.
    QTest::newRow("nothing arrives: n + total")
        << 0 << 300 << QByteArray() << 0 << 0 << 10 << 0 << 0 << 310 << 8000;
    QTest::newRow("nothing arrives, interval set: n + total")
        << 50 << 300 << QByteArray() << 0 << 0 << 10 << 0 << 0 << 310 << 8000;
    QTest::newRow("some bytes, then silence: interval")
        << 100 << 20000 << QByteArray("abc") << 0 << 0 << 10 << 3 << 3 << 100 << 8000;
    QTest::newRow("interval waits for the first byte")
        << 50 << 20000 << QByteArray() << 400 << 1 << 10 << 1 << 1 << 400 << 15000;
    QTest::newRow("steady trickle, all arrive")
        << 2000 << 30000 << QByteArray() << 20 << 20 << 20 << 20 << 20 << 380 << 25000;
    QTest::newRow("steady trickle, total ends it")
        << 2000 << 600 << QByteArray() << 20 << 100000 << 400 << 1 << 399 << 1000 << 15000;
    QTest::newRow("enough already there")
        << 0 << 20000 << QByteArray("abcdef") << 0 << 0 << 4 << 4 << 4 << 0 << 8000;
}

void tst_Serial::readTimeouts()
{
    QFETCH(int, readInterval);
    QFETCH(int, readTotal);
    QFETCH(QByteArray, sentBefore);
    QFETCH(int, trickleMs);
    QFETCH(int, trickleCount);
    QFETCH(int, requested);
    QFETCH(int, minimumBytes);
    QFETCH(int, maximumBytes);
    QFETCH(int, minimumMs);
    QFETCH(int, maximumMs);
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    QVERIFY(openRaw(serial, pty));
    QVERIFY(serial.setTimeouts(readInterval, readTotal, 0));
    QVERIFY(pty.send(sentBefore));
    QTRY_COMPARE(serial.bytesAvailable(), qint64(sentBefore.size()));
    const QString errorBefore = serial.errorString();

    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<Trickle> trickle;
    if (trickleMs > 0)
        trickle.reset(new Trickle(pty, trickleMs, trickleCount));
    const QByteArray got = serial.read(requested);
    const qint64 elapsed = timer.elapsed();
    trickle.reset();

    QVERIFY2(got.size() >= minimumBytes && got.size() <= maximumBytes,
             qPrintable(QString::number(got.size())));
    QVERIFY2(elapsed >= minimumMs && elapsed <= maximumMs, qPrintable(QString::number(elapsed)));
    QVERIFY(got.startsWith(sentBefore.left(requested)));
    QCOMPARE(serial.errorString(), errorBefore);
}

void tst_Serial::freshPortWaitsForTheWholeCount()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    QVERIFY(openRaw(serial, pty));
    QVERIFY(pty.send("ab"));
    QElapsedTimer timer;
    timer.start();
    std::thread late([&pty] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pty.send("cde");
    });
    const QByteArray got = serial.read(5);
    const qint64 elapsed = timer.elapsed();
    late.join();
    QCOMPARE(got, QByteArray("abcde"));
    QVERIFY2(elapsed >= 300, qPrintable(QString::number(elapsed)));
}

void tst_Serial::writeEndsAtItsDeadline()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    QVERIFY(openRaw(serial, pty));
    // Nobody reads the other side: fill the line until a write comes back short.
    QVERIFY(serial.setTimeouts(0, 0, 0));
    const QByteArray chunk(256, 'x');
    qint64 written = chunk.size();
    for (int i = 0; i < 4096 && written == chunk.size(); ++i)
        written = serial.write(chunk);
    QVERIFY(written < chunk.size());
    const QString errorBefore = serial.errorString();

    QVERIFY(serial.setTimeouts(0, 0, 300));
    QElapsedTimer timer;
    timer.start();
    written = serial.write(QByteArray(100, 'y'));
    const qint64 elapsed = timer.elapsed();
    QVERIFY(written >= 0 && written < 100);
    QVERIFY2(elapsed >= 400 && elapsed < 10000, qPrintable(QString::number(elapsed)));
    QCOMPARE(serial.errorString(), errorBefore);
}

void tst_Serial::clearInputBuffer()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    QVERIFY(openRaw(serial, pty));
    QVERIFY(pty.send("stale bytes"));
    QTRY_COMPARE(serial.bytesAvailable(), qint64(11));
    serial.clearInputBuffer();
    QCOMPARE(serial.bytesAvailable(), qint64(0));

    QVERIFY(pty.send("fresh"));
    QTRY_COMPARE(serial.bytesAvailable(), qint64(5));
    QVERIFY(serial.setTimeouts(0, 5000, 0));
    QCOMPARE(serial.read(5), QByteArray("fresh"));
}

void tst_Serial::bufferedOpenCountsTheBaseBuffer()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    serial.setFileName(pty.slavePath());
    QVERIFY(serial.open(QIODevice::ReadWrite));
    QVERIFY(serial.setSettings(9600, 8, Serial::NoParity, Serial::OneStopBit));
    QVERIFY(serial.setTimeouts(100, 20000, 0));
    QVERIFY(pty.send("0123456789"));
    QTRY_COMPARE(serial.bytesAvailable(), qint64(10));
    // The base reads ahead into its buffer; what it holds still counts as available.
    QCOMPARE(serial.read(1), QByteArray("0"));
    QCOMPARE(serial.bytesAvailable(), qint64(9));
    QVERIFY(pty.send("ab"));
    QTRY_COMPARE(serial.bytesAvailable(), qint64(11));
}

void tst_Serial::hangUpSetsTheErrorString()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    Serial serial;
    QVERIFY(openRaw(serial, pty));
    pty.closeMaster();
    QCOMPARE(serial.read(4), QByteArray());
    QCOMPARE(serial.errorString(), systemError(EIO));
}

void tst_Serial::enumDevicesListsOpenableNames()
{
    QStringList names = Serial::EnumDevices();
    for (const QString &name : names) {
        QVERIFY2(!name.contains(QLatin1Char('/')), qPrintable(name));
        QVERIFY2(QFileInfo::exists(QLatin1String("/dev/") + name), qPrintable(name));
        // Ports reserved by the driver without a UART behind them are left out.
        QFile type(QLatin1String("/sys/class/tty/") + name + QLatin1String("/type"));
        if (type.open(QIODevice::ReadOnly))
            QVERIFY2(type.readAll().trimmed() != "0", qPrintable(name));
        Serial serial;
        serial.setFileName(name);
        if (!serial.open()) {
            // Someone else may have it; nothing else may keep a listed port from opening.
            QCOMPARE(serial.errorString(), systemError(EBUSY));
        }
    }
    QCOMPARE(names.removeDuplicates(), 0);
}

QTEST_GUILESS_MAIN(tst_Serial)
#include "tst_serial.moc"
