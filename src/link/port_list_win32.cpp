// The serial ports from SetupAPI and the registry: names only, no port is opened.
#include <algorithm>
#include <windows.h>
// After windows.h, which setupapi.h needs.
#include <setupapi.h>

#include "link/port_list.h"

namespace marivent::nmea {

namespace {

// The Ports (COM & LPT) setup class, {4d36e978-e325-11ce-bfc1-08002be10318}; written here so no
// GUID library is needed.
constexpr GUID ports_class = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::string utf8(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

// A string value of an open key, empty when it has none.
std::string string_value(HKEY key, const wchar_t* name) {
    wchar_t data[256];
    DWORD size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    data[size / sizeof(wchar_t)] = L'\0';
    return utf8(data);
}

bool is_com(const std::string& name) {
    return name.size() > 3 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "com") == 0) &&
           std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The friendly name without the " (COM7)" Windows adds to it, since the label shows the port.
std::string without_port(std::string friendly, const std::string& port) {
    const std::string tail = " (" + port + ")";
    if (friendly.size() > tail.size() &&
        friendly.compare(friendly.size() - tail.size(), tail.size(), tail) == 0)
        friendly.resize(friendly.size() - tail.size());
    return friendly;
}

void from_setupapi(std::vector<SerialPortName>& out) {
    const HDEVINFO set = ::SetupDiGetClassDevsW(&ports_class, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const HKEY key =
            ::SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        const std::string port = string_value(key, L"PortName");
        ::RegCloseKey(key);
        if (!is_com(port)) continue; // a printer port of the same class
        wchar_t friendly[256] = {};
        DWORD type = 0;
        if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, &type,
                                                 reinterpret_cast<BYTE*>(friendly),
                                                 sizeof friendly - sizeof(wchar_t), nullptr) ||
            type != REG_SZ)
            friendly[0] = L'\0';
        out.push_back({port, without_port(utf8(friendly), port)});
    }
    ::SetupDiDestroyDeviceInfoList(set);
}

// HARDWARE\DEVICEMAP\SERIALCOMM: the driver's device ("\Device\Serial0") to the port ("COM1").
void from_serialcomm(std::vector<SerialPortName>& out) {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD name_size = 255;
        wchar_t data[256];
        DWORD data_size = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG r = ::RegEnumValueW(key, i, name, &name_size, nullptr, &type,
                                       reinterpret_cast<BYTE*>(data), &data_size);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || type != REG_SZ) continue;
        name[name_size] = L'\0';
        data[data_size / sizeof(wchar_t)] = L'\0';
        const std::string port = utf8(data);
        if (!is_com(port)) continue;
        const bool known = std::any_of(out.begin(), out.end(), [&](const SerialPortName& p) {
            return ::lstrcmpiA(p.device.c_str(), port.c_str()) == 0;
        });
        if (!known) out.push_back({port, utf8(name)});
    }
    ::RegCloseKey(key);
}

} // namespace

std::vector<SerialPortName> list_serial_ports() {
    std::vector<SerialPortName> out;
    from_setupapi(out);
    from_serialcomm(out);
    // COM2 before COM10.
    std::stable_sort(out.begin(), out.end(), [](const SerialPortName& a, const SerialPortName& b) {
        return a.device.size() != b.device.size() ? a.device.size() < b.device.size()
                                                  : a.device < b.device;
    });
    return out;
}

} // namespace marivent::nmea
