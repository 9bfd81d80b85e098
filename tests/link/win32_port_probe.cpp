// A Windows program for win32_serial_wine_test.py: opens a COM port through the window's device
// at the settings given, sends a text, then waits on the device's event, as the window does, for
// LINES lines (1 unless given), and prints each that came and the events the device told, one a
// line:
//   win32_port_probe COM5 4800,n,8,1 TEXT [LINES]
// Exit status 0 when the lines came, 1 on a hang-up or after 10 s, 2 when the port cannot be
// opened.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <windows.h>

#include "common/number_text.h"
#include "link/comm_control.h"
#include "link/win32_serial.h"

int main(int argc, char** argv) {
    using namespace marivent::nmea;
    if (argc != 4 && argc != 5) return 2;
    int lines = argc == 5 ? std::atoi(argv[4]) : 1;
    const auto settings = parse_line_settings(argv[2]);
    if (!settings) return 2;
    Win32SerialDevice port;
    if (const auto opened = port.open(argv[1], *settings, '?'); !opened) {
        std::printf("refus : %s\n", opened.why().c_str());
        return 2;
    }
    std::string out = argv[3];
    std::string in;
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 10000) {
        if (!out.empty()) {
            const auto n = port.write(out);
            if (!n) {
                std::printf("écriture : %s\n", n.why().c_str());
                return 1;
            }
            out.erase(0, *n);
        }
        // Waits as QWinEventNotifier does; the device's event is clear when nothing waits.
        if (::WaitForSingleObject(static_cast<HANDLE>(port.wait_handle()), 1000) != WAIT_OBJECT_0)
            continue;
        const DeviceInput got = port.read();
        for (std::size_t i = 0; i < got.events.size(); ++i)
            std::printf("événement %s\n", marivent::integer_text(got.events[i]).c_str());
        in += got.data;
        if (got.hung_up) {
            std::printf("raccroché : %s\n", got.why.c_str());
            return 1;
        }
        for (auto end = in.find('\n'); end != std::string::npos && out.empty();
             end = in.find('\n')) {
            std::printf("reçu : %s\n", in.substr(0, end + 1).c_str());
            std::fflush(stdout);
            in.erase(0, end + 1);
            if (--lines == 0) return 0;
        }
    }
    std::printf("rien reçu\n");
    return 1;
}
