// The serial ports this machine has, as the system names them, for the preferences to offer.
// Only names are read: no device is opened, probed or configured.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace marivent::nmea {

struct SerialPortName {
    std::string device;      // what the port opens: "COM7", "/dev/serial/by-id/usb-u-blox_..."
    std::string description; // the system's name of the device ("USB-SERIAL CH340"), may be empty
};

// Windows: SetupAPI's Ports class (friendly name and PortName), then the ports of
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM it did not list, in the order of their numbers.
// POSIX: the links of /dev/serial/by-id, then /dev/ttyUSB* and /dev/ttyACM*.
std::vector<SerialPortName> list_serial_ports();

#ifndef _WIN32
// The same from the directory entries of `dev` (/dev, or a test's folder): the links of
// dev/serial/by-id by name, each described by the device it leads to, then dev/ttyUSB* and
// dev/ttyACM* in the order of their numbers.
std::vector<SerialPortName> list_serial_ports(const std::filesystem::path& dev);
#endif

// "COM7 — USB-SERIAL CH340", or the device alone when it has no description.
std::string port_label(const SerialPortName& port);

} // namespace marivent::nmea
