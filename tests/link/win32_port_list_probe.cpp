// A Windows program for win32_serial_wine_test.py: prints the serial ports the preferences offer,
// one a line, as "DEVICE — DESCRIPTION" in UTF-8.
#include <cstdio>

#include "link/port_list.h"

int main() {
    for (const marivent::nmea::SerialPortName& port : marivent::nmea::list_serial_ports())
        std::printf("%s\n", marivent::nmea::port_label(port).c_str());
    return 0;
}
