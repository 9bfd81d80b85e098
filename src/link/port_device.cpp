#include "link/port_device.h"

#include "link/net_device.h"
#ifdef _WIN32
#include "link/win32_serial.h"
#else
#include "link/posix_serial.h"
#endif

namespace marivent::nmea {

#ifdef _WIN32
using SystemSerialDevice = Win32SerialDevice;
#else
using SystemSerialDevice = PosixSerialDevice;
#endif

PortDevice::PortDevice()
    : serial_(std::make_unique<SystemSerialDevice>()), network_(std::make_unique<NetDevice>()),
      current_(serial_.get()) {}

PortDevice::~PortDevice() = default;

Status PortDevice::open(const std::string& path, const LineSettings& settings,
                        char parity_replace) {
    current_->close();
    current_ = is_network(path) ? network_.get() : serial_.get();
    return current_->open(path, settings, parity_replace);
}

} // namespace marivent::nmea
