// Serial on one end of a null-modem pair, Qt's own QSerialPort on the other: each must receive
// exactly what the other sent, at every line setting.
#include "nullmodem.h"

#include <serial.h>

#include <QRandomGenerator>
#include <QSerialPort>
#include <QtTest>

namespace {

constexpr int payloadSize = 4096;

QByteArray payload(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(payloadSize, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

QSerialPort::Parity peerParity(Serial::Parity parity)
{
    switch (parity) {
    case Serial::OddParity:
        return QSerialPort::OddParity;
    case Serial::EvenParity:
        return QSerialPort::EvenParity;
    case Serial::MarkParity:
        return QSerialPort::MarkParity;
    case Serial::SpaceParity:
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits peerStopBits(Serial::StopBits stopBits)
{
    switch (stopBits) {
    case Serial::OneAndHalfStopBits:
        return QSerialPort::OneAndHalfStop;
    case Serial::TwoStopBits:
        return QSerialPort::TwoStop;
    default:
        return QSerialPort::OneStop;
    }
}

QByteArray readFromPeer(QSerialPort &peer, int count)
{
    QByteArray bytes;
    while (bytes.size() < count && (peer.bytesAvailable() > 0 || peer.waitForReadyRead(10000)))
        bytes += peer.read(count - bytes.size());
    return bytes;
}

QByteArray readFromSerial(Serial &serial, int count)
{
    QByteArray bytes;
    while (bytes.size() < count) {
        const QByteArray chunk = serial.read(count - bytes.size());
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    return bytes;
}

} // namespace

class tst_SerialInterop : public QObject
{
    Q_OBJECT

private slots:
    void exchange_data();
    void exchange();
};

void tst_SerialInterop::exchange_data()
{
    QTest::addColumn<int>("baudRate");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    // A pseudo-terminal keeps 8 data bits without parity whatever it is told, and QSerialPort
    // refuses settings it cannot read back (fewer data bits, even parity): those are left out.
    QTest::newRow("9600 8N1") << 9600 << 8 << int(Serial::NoParity) << int(Serial::OneStopBit);
    QTest::newRow("115200 8N1") << 115200 << 8 << int(Serial::NoParity) << int(Serial::OneStopBit);
    QTest::newRow("38400 8O2") << 38400 << 8 << int(Serial::OddParity) << int(Serial::TwoStopBits);
    QTest::newRow("57600 8M1") << 57600 << 8 << int(Serial::MarkParity) << int(Serial::OneStopBit);
    QTest::newRow("4800 8S2") << 4800 << 8 << int(Serial::SpaceParity) << int(Serial::TwoStopBits);
    QTest::newRow("230400 8N2") << 230400 << 8 << int(Serial::NoParity) << int(Serial::TwoStopBits);
}

void tst_SerialInterop::exchange()
{
    QFETCH(int, baudRate);
    QFETCH(int, dataBits);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    NullModem cable;
    QVERIFY2(cable.start(), qPrintable(cable.errorString()));

    Serial serial;
    serial.setFileName(cable.firstEnd());
    QVERIFY2(serial.open(), qPrintable(serial.errorString()));
    QVERIFY(
        serial.setSettings(baudRate, dataBits, Serial::Parity(parity), Serial::StopBits(stopBits)));
    QVERIFY(serial.setTimeouts(1000, 10000, 10000));

    QSerialPort peer(cable.secondEnd());
    QVERIFY2(peer.open(QIODevice::ReadWrite), qPrintable(peer.errorString()));
    QVERIFY(peer.setBaudRate(baudRate));
    QVERIFY(peer.setDataBits(QSerialPort::DataBits(dataBits)));
    QVERIFY(peer.setParity(peerParity(Serial::Parity(parity))));
    QVERIFY(peer.setStopBits(peerStopBits(Serial::StopBits(stopBits))));
    QVERIFY(peer.setFlowControl(QSerialPort::NoFlowControl));

    const QByteArray outbound = payload(quint32(baudRate));
    QCOMPARE(serial.write(outbound), qint64(outbound.size()));
    QCOMPARE(readFromPeer(peer, outbound.size()), outbound);

    const QByteArray inbound = payload(quint32(baudRate) + 1);
    QCOMPARE(peer.write(inbound), qint64(inbound.size()));
    while (peer.bytesToWrite() > 0)
        QVERIFY(peer.waitForBytesWritten(10000));
    QCOMPARE(readFromSerial(serial, inbound.size()), inbound);
}

QTEST_GUILESS_MAIN(tst_SerialInterop)
#include "tst_serialinterop.moc"
