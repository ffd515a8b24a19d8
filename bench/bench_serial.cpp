// The serial device against QSerialPort used the usual blocking way (waitForBytesWritten,
// waitForReadyRead), both over a pseudo-terminal whose other side a thread serves: bulk writes
// (1 MiB in 4 KiB pieces) and one-byte request/answer round trips.
#include "ratioreporter.h"

#include <serial.h>

#include <QFile>
#include <QSerialPort>

#include <atomic>
#include <thread>

#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {

constexpr int chunkSize = 4096;
constexpr int bulkSize = 1 << 20;

// A pseudo-terminal whose master side a thread serves, reading everything and, when echoing,
// sending it straight back: the device at the far end of the line.
class FarEnd
{
public:
    explicit FarEnd(bool echo)
    {
        int slave = -1;
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        if (openpty(&m_master, &slave, name, &raw, nullptr) != 0)
            return;
        ::close(slave);
        m_path = QFile::decodeName(name);
        m_thread = std::thread([this, echo] { serve(echo); });
    }
    ~FarEnd()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
    }
    Q_DISABLE_COPY(FarEnd)

    QString path() const { return m_path; }

private:
    void serve(bool echo)
    {
        char buffer[65536];
        while (!m_stop) {
            pollfd entry{ m_master, POLLIN, 0 };
            if (::poll(&entry, 1, 20) <= 0)
                continue;
            const ssize_t count = ::read(m_master, buffer, sizeof buffer);
            if (count <= 0) {
                // Nobody has the slave side open yet (or any more).
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            for (ssize_t done = 0; echo && done < count;) {
                const ssize_t sent = ::write(m_master, buffer + done, size_t(count - done));
                if (sent > 0)
                    done += sent;
            }
        }
    }

    int m_master = -1;
    QString m_path;
    std::atomic<bool> m_stop{ false };
    std::thread m_thread;
};

bool openSerial(Serial &serial, const QString &path)
{
    serial.setFileName(path);
    return serial.open() && serial.setSettings(115200, 8, Serial::NoParity, Serial::OneStopBit);
}

bool openPeer(QSerialPort &port, const QString &path)
{
    port.setPortName(path);
    return port.open(QIODevice::ReadWrite) && port.setBaudRate(115200);
}

void serialBulkWrite(benchmark::State &state)
{
    FarEnd farEnd(false);
    Serial serial;
    if (!openSerial(serial, farEnd.path())) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const QByteArray chunk(chunkSize, 'x');
    for (auto _ : state) {
        for (int done = 0; done < bulkSize; done += chunkSize) {
            if (serial.write(chunk) != chunkSize) {
                state.SkipWithError("short write");
                return;
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * bulkSize);
}

void qserialportBulkWrite(benchmark::State &state)
{
    FarEnd farEnd(false);
    QSerialPort port;
    if (!openPeer(port, farEnd.path())) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const QByteArray chunk(chunkSize, 'x');
    for (auto _ : state) {
        for (int done = 0; done < bulkSize; done += chunkSize) {
            port.write(chunk);
            while (port.bytesToWrite() > 0) {
                if (!port.waitForBytesWritten(10000)) {
                    state.SkipWithError("write timed out");
                    return;
                }
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * bulkSize);
}

void serialRoundTrip(benchmark::State &state)
{
    FarEnd farEnd(true);
    Serial serial;
    if (!openSerial(serial, farEnd.path())) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    char answer = 0;
    for (auto _ : state) {
        // A fresh port waits for the whole count: the read returns with the answer.
        if (serial.write("?", 1) != 1 || serial.read(&answer, 1) != 1) {
            state.SkipWithError("exchange failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void qserialportRoundTrip(benchmark::State &state)
{
    FarEnd farEnd(true);
    QSerialPort port;
    if (!openPeer(port, farEnd.path())) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    char answer = 0;
    for (auto _ : state) {
        port.write("?", 1);
        port.waitForBytesWritten(10000);
        while (port.bytesAvailable() < 1) {
            if (!port.waitForReadyRead(10000)) {
                state.SkipWithError("no answer");
                return;
            }
        }
        port.read(&answer, 1);
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(serialBulkWrite)
    ->Name("Serial bulk write 1 MiB")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(qserialportBulkWrite)
    ->Name("QSerialPort bulk write 1 MiB")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(serialRoundTrip)
    ->Name("Serial 1-byte round trip")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(qserialportRoundTrip)
    ->Name("QSerialPort 1-byte round trip")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

BENCH_COMPARE(bulkAgainstQSerialPort, "Serial bulk write 1 MiB/real_time",
              "QSerialPort bulk write 1 MiB/real_time", Comparison::Speed, 1.0,
              "x the throughput of QSerialPort");
BENCH_COMPARE(roundTripAgainstQSerialPort, "Serial 1-byte round trip/real_time",
              "QSerialPort 1-byte round trip/real_time", Comparison::Speed, 1.0,
              "x as fast a round trip as QSerialPort");
