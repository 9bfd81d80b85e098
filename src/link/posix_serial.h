// The serial device on a POSIX terminal (a serial port, a USB receiver, a pseudo-terminal).
#pragma once
#include "link/serial_device.h"

namespace marivent::nmea {

// How the line conditions reach the event codes:
// - the terminal is raw, non-blocking, with PARMRK (and INPCK when a parity is set): a break
//   arrives as FF 00 00 -> 1001 "Break"; a byte X received with an error as FF 00 X -> 1009
//   "Parity" when a parity is set, else 1004 "Frame"; FF FF is a data byte FF;
// - receive overruns counted by the driver (TIOCGICOUNT, where it has it) -> 1006;
// - the modem lines (TIOCMGET, where the device has them), looked at on every read: a change
//   of CD -> 5, CTS -> 3, DSR -> 4, a rising RI -> 6;
// - a read that finds the device gone (end of file, EIO, hang-up) closes it: hung_up.
class PosixSerialDevice : public SerialDevice {
  public:
    ~PosixSerialDevice() override;
    Status open(const std::string& path, const LineSettings& settings,
                char parity_replace) override;
    void close() override;
    bool is_open() const override { return fd_ >= 0; }
    int descriptor() const override { return fd_; }
    // Reads at most `read_limit` bytes a call, leaving the rest to the next: a flood never holds
    // the window, and never overfills the control's input buffer.
    DeviceInput read() override;
    Result<std::size_t> write(std::string_view bytes) override;

    static constexpr std::size_t read_limit = 1 << 16;

  private:
    void unmark(const char* bytes, std::size_t n, DeviceInput& in);
    int fd_ = -1;
    bool parity_ = false;
    char parity_replace_ = 0;
    int mark_state_ = 0; // bytes of an FF 00 X mark seen so far
    int modem_ = -1;     // the modem lines at the last read, -1 when the device has none
    long overruns_ = -1; // the driver's overrun count at the last read, -1 when it has none
};

} // namespace marivent::nmea
