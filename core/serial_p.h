#ifndef SERIAL_P_H
#define SERIAL_P_H

#include <cstdint>
#include <string>
#include <vector>

// The state of a Serial and what it needs of the operating system, one implementation file per
// platform. Plain C++ types only, so that each side builds without the other's headers or Qt.
// System errors are handed back as the platform's own codes (errno, GetLastError()).
class SerialPrivate
{
public:
    // Codes of parity and stop bits as in Serial::Parity and Serial::StopBits.
    struct LineSettings
    {
        int baudRate;
        int dataBits;
        int parity;
        int stopBits;
    };

    // How a port name becomes a device path: a name that starts with one of pathStarts (a null
    // ends the list) is a path already; any other gets deviceNamespace in front.
    static const char16_t deviceNamespace[];
    static const char16_t *const pathStarts[];

    static std::vector<std::u16string> enumDevices();

    SerialPrivate() = default;
    SerialPrivate(const SerialPrivate &) = delete;
    SerialPrivate &operator=(const SerialPrivate &) = delete;

    bool isOpen() const;
    // On failure the port stays closed and error holds the reason.
    bool open(const std::u16string &path, bool read, bool write, int &error);
    void close();
    bool setSettings(const LineSettings &settings);
    bool setTimeouts(std::uint32_t readInterval, std::uint32_t readTotal, std::uint32_t writeTotal);
    void clearInput();
    void *handle() const;
    // Bytes received and waiting in the driver; 0 when that cannot be asked.
    std::int64_t bytesWaiting() const;
    // The count transferred; error is 0 unless the transfer failed, a time-out is no failure.
    std::int64_t read(char *data, std::uint32_t size, int &error);
    std::int64_t write(const char *data, std::uint32_t size, int &error);

    std::u16string fileName;

private:
#ifdef _WIN32
    void *m_handle = reinterpret_cast<void *>(static_cast<std::intptr_t>(-1));
#else
    int m_fd = -1;
    // A fresh port waits for the whole count of each transfer, as a fresh Win32 port does.
    bool m_timeoutsSet = false;
    std::uint32_t m_readInterval = 0;
    std::uint32_t m_readTotal = 0;
    std::uint32_t m_writeTotal = 0;
#endif
};

#endif // SERIAL_P_H
