// The device under the serial control, the one place that chooses it: a network source for
// "tcp://" and "udp://" names, this system's serial port otherwise (termios: posix_serial.h; the
// Win32 communications API: win32_serial.h).
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/serial_device.h"

namespace marivent::nmea {

// Chosen again at each opening.
class PortDevice : public SerialDevice {
  public:
    PortDevice();
    ~PortDevice() override;
    Status open(const std::string& path, const LineSettings& settings,
                char parity_replace) override;
    void close() override { current_->close(); }
    bool is_open() const override { return current_->is_open(); }
    int descriptor() const override { return current_->descriptor(); }
    void* wait_handle() const override { return current_->wait_handle(); }
    DeviceInput read() override { return current_->read(); }
    Result<std::size_t> write(std::string_view bytes) override { return current_->write(bytes); }

  private:
    std::unique_ptr<SerialDevice> serial_, network_;
    SerialDevice* current_;
};

} // namespace marivent::nmea
