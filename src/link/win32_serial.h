// The serial device on the Win32 communications API (COM1, a USB receiver's COMk).
#pragma once
#include <memory>
#include <string>

#include "link/serial_device.h"

namespace marivent::nmea {

// How the line conditions reach the event codes, the same as on the termios device:
// - ClearCommError's errors: CE_BREAK -> 1001 "Break", CE_FRAME -> 1004 "Frame", CE_RXPARITY ->
//   1009 "Parity" (the byte is replaced by the driver, DCB.ErrorChar, when a replacement is set),
//   CE_OVERRUN and CE_RXOVER (the driver's buffer) -> 1006;
// - the modem lines (GetCommModemStatus), looked at on every read: a change of CD -> 5, CTS -> 3,
//   DSR -> 4, a rising RI -> 6;
// - a read, a wait or a write that finds the port gone (a USB receiver pulled out) closes it:
//   hung_up.
// The port is opened for overlapped I/O: WaitCommEvent (EV_RXCHAR, EV_ERR, EV_BREAK and the modem
// lines) and a write in progress both set the event wait_handle() gives.
class Win32SerialDevice : public SerialDevice {
  public:
    Win32SerialDevice();
    ~Win32SerialDevice() override;
    // `path`: "COM7", or a name already in the device namespace ("\\.\COM7").
    Status open(const std::string& path, const LineSettings& settings,
                char parity_replace) override;
    void close() override;
    bool is_open() const override;
    int descriptor() const override { return -1; }
    void* wait_handle() const override;
    // Reads at most `read_limit` bytes a call, leaving the rest to the next.
    DeviceInput read() override;
    // Takes the bytes into the write in progress (as much as one write holds), or 0 while the
    // last one is still going out; its end sets the event.
    Result<std::size_t> write(std::string_view bytes) override;

    static constexpr std::size_t read_limit = 1 << 16;
    static constexpr std::size_t write_limit = 1 << 12;

    struct Io; // the handles and the overlapped operations (win32_serial.cpp)

  private:
    std::unique_ptr<Io> io_;
};

// The name CreateFile takes for a port: "COM7" -> "\\.\COM7" (needed from COM10 on).
std::string win32_port_name(const std::string& path);

// The French reason CreateFile's error `code` gives for `path`.
std::string win32_open_error(const std::string& path, unsigned long code);

// Why the port is gone when a read, a wait or a write fails with `code`.
std::string win32_lost_reason(const std::string& path, unsigned long code);

// The events of ClearCommError's error bits (CE_*) for the bytes of `in.data`, which were waiting
// when it was asked: before them, as the driver does not tell which byte had the error, except a
// parity error whose byte the driver replaced (`parity_replace`, not 0): at the first replaced one.
void add_comm_errors(unsigned long errors, char parity_replace, DeviceInput& in);

// The events of the modem lines (MS_* bits) that changed from `before` to `now`.
void add_modem_changes(unsigned long before, unsigned long now, DeviceInput& in);

} // namespace marivent::nmea
