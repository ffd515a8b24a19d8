#include "serial_p.h"

#include <windows.h>

const char16_t SerialPrivate::deviceNamespace[] = u"\\\\.\\";
const char16_t *const SerialPrivate::pathStarts[] = { u"\\\\.\\", u"//", nullptr };

namespace {

// wchar_t is UTF-16 here, so the two kinds of string share their representation.
const wchar_t *wide(const std::u16string &text)
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

} // namespace

std::vector<std::u16string> SerialPrivate::enumDevices()
{
    std::vector<std::u16string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key)
        != ERROR_SUCCESS) {
        return names;
    }
    DWORD valueCount = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount,
                         &longestName, &longestData, nullptr, nullptr)
        != ERROR_SUCCESS) {
        RegCloseKey(key);
        return names;
    }
    std::vector<wchar_t> name(longestName + 1);
    // Room for a terminating null that the stored data may lack.
    std::vector<wchar_t> data(longestData / sizeof(wchar_t) + 1);
    for (DWORD index = 0; index < valueCount; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        DWORD type = 0;
        if (RegEnumValueW(key, index, name.data(), &nameSize, nullptr, &type,
                          reinterpret_cast<BYTE *>(data.data()), &dataSize)
                != ERROR_SUCCESS
            || type != REG_SZ) {
            continue;
        }
        const wchar_t *text = data.data();
        const wchar_t *end = text + dataSize / sizeof(wchar_t);
        const wchar_t *stop = text;
        while (stop != end && *stop != L'\0')
            ++stop;
        names.emplace_back(reinterpret_cast<const char16_t *>(text),
                           static_cast<std::size_t>(stop - text));
    }
    RegCloseKey(key);
    return names;
}

bool SerialPrivate::isOpen() const
{
    return m_handle != INVALID_HANDLE_VALUE;
}

bool SerialPrivate::open(const std::u16string &path, bool read, bool write, int &error)
{
    const DWORD access = (read ? GENERIC_READ : 0) | (write ? GENERIC_WRITE : 0);
    SECURITY_ATTRIBUTES security{ sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE };
    const HANDLE handle = CreateFileW(wide(path), access, 0, &security, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = static_cast<int>(GetLastError());
        return false;
    }
    m_handle = handle;
    return true;
}

void SerialPrivate::close()
{
    if (m_handle == INVALID_HANDLE_VALUE)
        return;
    CloseHandle(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
}

bool SerialPrivate::setSettings(const LineSettings &settings)
{
    DCB state{};
    state.DCBlength = sizeof(DCB);
    if (!GetCommState(m_handle, &state))
        return false;
    state.BaudRate = static_cast<DWORD>(settings.baudRate);
    state.ByteSize = static_cast<BYTE>(settings.dataBits & 0xff);
    state.Parity = static_cast<BYTE>(settings.parity & 0xff);
    state.StopBits = static_cast<BYTE>(settings.stopBits & 0xff);
    state.fBinary = 1;
    state.fOutxCtsFlow = 0;
    state.fOutxDsrFlow = 0;
    state.fDsrSensitivity = 0;
    state.fOutX = 0;
    return SetCommState(m_handle, &state);
}

bool SerialPrivate::setTimeouts(std::uint32_t readInterval, std::uint32_t readTotal,
                                std::uint32_t writeTotal)
{
    COMMTIMEOUTS timeouts{ readInterval, 1, readTotal, 1, writeTotal };
    return SetCommTimeouts(m_handle, &timeouts);
}

void SerialPrivate::clearInput()
{
    PurgeComm(m_handle, PURGE_RXCLEAR);
}

void *SerialPrivate::handle() const
{
    return m_handle;
}

std::int64_t SerialPrivate::bytesWaiting() const
{
    COMSTAT status{};
    DWORD errors = 0;
    if (!ClearCommError(m_handle, &errors, &status))
        return 0;
    return status.cbInQue;
}

std::int64_t SerialPrivate::read(char *data, std::uint32_t size, int &error)
{
    DWORD done = 0;
    if (!ReadFile(m_handle, data, size, &done, nullptr))
        error = static_cast<int>(GetLastError());
    return done;
}

std::int64_t SerialPrivate::write(const char *data, std::uint32_t size, int &error)
{
    DWORD done = 0;
    if (!WriteFile(m_handle, data, size, &done, nullptr))
        error = static_cast<int>(GetLastError());
    return done;
}
