#include "link/port_device.h"

#include "link/net_device.h"
#include "link/posix_serial.h"

namespace marivent::nmea {

PortDevice::PortDevice()
    : serial_(std::make_unique<PosixSerialDevice>()), network_(std::make_unique<NetDevice>()),
      current_(serial_.get()) {}

PortDevice::~PortDevice() = default;

Status PortDevice::open(const std::string& path, const LineSettings& settings,
                        char parity_replace) {
    current_->close();
    current_ = is_network(path) ? network_.get() : serial_.get();
    return current_->open(path, settings, parity_replace);
}

} // namespace marivent::nmea
