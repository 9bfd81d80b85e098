// The serial device under the serial-port control: the serial port on termios (posix_serial.h),
// the boat's network (net_device.h), PortDevice that chooses between them (port_device.h), and
// scripted ones in the tests.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace marivent::nmea {

// "4800,n,8,1": baud, parity letter (n, e, o, m for mark, s for space), data bits, stop bits.
struct LineSettings {
    int baud = 4800;
    char parity = 'n';
    int data_bits = 8;
    int stop_bits = 1;
};
std::optional<LineSettings> parse_line_settings(std::string_view text);

// Event codes of the serial-port control.
namespace comm {
inline constexpr int ev_send = 1, ev_receive = 2, ev_cts = 3, ev_dsr = 4, ev_cd = 5, ev_ring = 6,
                     ev_eof = 7;
inline constexpr int er_break = 1001, er_frame = 1004, er_overrun = 1006, er_rx_over = 1008,
                     er_rx_parity = 1009, er_tx_full = 1010, er_dcb = 1011;
} // namespace comm

struct DeviceInput {
    std::string data;        // bytes received, in order
    std::vector<int> events; // line errors and line changes seen while reading them
    bool hung_up = false;    // the device is gone (hang-up, unplugged)
    std::string why;         // French, when hung up
    // Where each event happened: the count of bytes of `data` received before it (a byte with a
    // parity error is the one at that index). An event without a position came before the data.
    std::vector<std::size_t> event_at;

    void add_event(int code) {
        events.push_back(code);
        event_at.push_back(data.size());
    }
};

class SerialDevice {
  public:
    virtual ~SerialDevice() = default;
    // `parity_replace`: the byte delivered for a byte received with a parity error (0: the byte).
    virtual Status open(const std::string& path, const LineSettings& settings,
                        char parity_replace) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    // The descriptor an event loop watches, or -1.
    virtual int descriptor() const = 0;
    // On Windows, where a port has no descriptor to watch: an event (a HANDLE) that is set when
    // input, a line event, the end of a write or a hang-up waits. The event loop waits on it
    // (QWinEventNotifier), then calls read() and offers the output again. nullptr elsewhere.
    virtual void* wait_handle() const { return nullptr; }
    // Everything waiting now, without blocking.
    virtual DeviceInput read() = 0;
    // Writes what it can at once, without blocking: the count written, or why not.
    virtual Result<std::size_t> write(std::string_view bytes) = 0;
};

} // namespace marivent::nmea
