#include "link/win32_serial.h"

#include <algorithm>
#include <windows.h>

#include "common/number_text.h"
#include "common/win32_error.h"

namespace marivent::nmea {

struct Win32SerialDevice::Io {
    HANDLE port = INVALID_HANDLE_VALUE;
    std::string path;
    bool parity = false;
    char parity_replace = 0;
    DWORD modem = 0;
    bool has_modem = false;
    // The event the loop waits on, shared by the comm-event wait and the write: each operation
    // clears it as it starts, so after starting one the other's end is signalled again by hand.
    HANDLE event = nullptr;
    HANDLE read_event = nullptr; // for reads, which end at once (ReadIntervalTimeout MAXDWORD)
    OVERLAPPED wait{};
    DWORD wait_mask = 0;
    DWORD events = 0; // the events asked of the port (SetCommMask)
    bool wait_pending = false;
    OVERLAPPED writing{};
    std::string write_buffer; // the bytes of the write in progress, held until it ends
    bool write_pending = false;
    std::string lost; // a failed write's reason, told as a hang-up by the next read
    // A port that cannot wait for input (wine's on a pseudo-terminal ends every wait at once)
    // is looked at every poll_ms instead: a timer sets the event, so the loop still only waits.
    HANDLE poll_timer = nullptr;
};

namespace {

bool is_done(const OVERLAPPED& o) {
    return HasOverlappedIoCompleted(&o);
}

// Sets the shared event again when an operation ended while another was started.
void signal_ended(Win32SerialDevice::Io& io) {
    if ((io.wait_pending && is_done(io.wait)) || (io.write_pending && is_done(io.writing)) ||
        !io.lost.empty())
        ::SetEvent(io.event);
}

// What the wait waits for: input and line errors, and the modem lines where the port has them.
constexpr DWORD line_events = EV_RXCHAR | EV_ERR | EV_BREAK;
constexpr DWORD modem_events = EV_CTS | EV_DSR | EV_RLSD | EV_RING;

// A port without the modem lines (wine's on a pseudo-terminal) refuses to wait for them, or ends
// the wait with an error, then the same for the line errors: it is asked for fewer events, down
// to input alone (ClearCommError still tells the errors at each read). False when it waits for
// input alone already.
bool wait_for_fewer(Win32SerialDevice::Io& io) {
    const DWORD fewer = io.events == (line_events | modem_events) ? line_events
                        : io.events == line_events                ? EV_RXCHAR
                                                                  : 0;
    if (fewer == 0 || !::SetCommMask(io.port, fewer)) return false;
    io.events = fewer;
    return true;
}

constexpr DWORD poll_ms = 20;

void CALLBACK set_event(void* event, BOOLEAN) {
    ::SetEvent(static_cast<HANDLE>(event));
}

// From now on the port is looked at every poll_ms: no more waits.
bool start_polling(Win32SerialDevice::Io& io) {
    if (io.poll_timer) return true;
    return ::CreateTimerQueueTimer(&io.poll_timer, nullptr, set_event, io.event, poll_ms, poll_ms,
                                   WT_EXECUTEDEFAULT) != 0;
}

bool supported_baud(int baud) {
    for (int b : {300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        if (b == baud) return true;
    return false;
}

} // namespace

std::string win32_port_name(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("\\\\?\\", 0) == 0) return path;
    return "\\\\.\\" + path;
}

std::string win32_open_error(const std::string& path, unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_UNIT:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return path + " n'existe pas (récepteur débranché ?)";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        // A port is opened by one program at a time: the refusal says another holds it.
        return path + " est déjà utilisé par un autre programme";
    default:
        return path + " : " + win32_error_text(code);
    }
}

std::string win32_lost_reason(const std::string& path, unsigned long code) {
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_OPERATION_ABORTED:
    case ERROR_BAD_COMMAND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_HANDLE:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_GEN_FAILURE:
        return path + " a disparu (récepteur débranché ?)";
    default:
        return path + " : " + win32_error_text(code);
    }
}

void add_comm_errors(unsigned long errors, char parity_replace, DeviceInput& in) {
    auto at = [&](int code, std::size_t position) {
        in.events.push_back(code);
        in.event_at.push_back(position);
    };
    if (errors & CE_BREAK) at(comm::er_break, 0);
    if (errors & CE_FRAME) at(comm::er_frame, 0);
    if (errors & (CE_OVERRUN | CE_RXOVER)) at(comm::er_overrun, 0);
    if (errors & CE_RXPARITY) {
        const std::size_t replaced = parity_replace ? in.data.find(parity_replace) : 0;
        at(comm::er_rx_parity, replaced == std::string::npos ? 0 : replaced);
    }
}

void add_modem_changes(unsigned long before, unsigned long now, DeviceInput& in) {
    const unsigned long changed = before ^ now;
    if (changed & MS_RLSD_ON) in.add_event(comm::ev_cd);
    if (changed & MS_CTS_ON) in.add_event(comm::ev_cts);
    if (changed & MS_DSR_ON) in.add_event(comm::ev_dsr);
    if ((changed & MS_RING_ON) && (now & MS_RING_ON)) in.add_event(comm::ev_ring);
}

Win32SerialDevice::Win32SerialDevice() : io_(std::make_unique<Io>()) {
    // Kept for the device's life, so a loop still waiting on it after a close waits on a handle
    // that exists.
    io_->event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    io_->read_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

Win32SerialDevice::~Win32SerialDevice() {
    close();
    if (io_->event) ::CloseHandle(io_->event);
    if (io_->read_event) ::CloseHandle(io_->read_event);
}

bool Win32SerialDevice::is_open() const {
    return io_->port != INVALID_HANDLE_VALUE;
}

void* Win32SerialDevice::wait_handle() const {
    return is_open() ? io_->event : nullptr;
}

Status Win32SerialDevice::open(const std::string& path, const LineSettings& s,
                               char parity_replace) {
    close();
    if (!supported_baud(s.baud))
        return failure("vitesse non prise en charge : " + integer_text(s.baud));
    if (!io_->event || !io_->read_event) return failure(win32_error_text(::GetLastError()));
    const std::string name = win32_port_name(path);
    const HANDLE port = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) return failure(win32_open_error(path, ::GetLastError()));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(port, &dcb)) {
        ::CloseHandle(port);
        return failure(path + " n'est pas un port série");
    }
    dcb.BaudRate = static_cast<DWORD>(s.baud);
    dcb.ByteSize = static_cast<BYTE>(s.data_bits);
    dcb.StopBits = s.stop_bits == 2 ? (s.data_bits == 5 ? ONE5STOPBITS : TWOSTOPBITS) : ONESTOPBIT;
    switch (s.parity) {
    case 'e':
        dcb.Parity = EVENPARITY;
        break;
    case 'o':
        dcb.Parity = ODDPARITY;
        break;
    case 'm':
        dcb.Parity = MARKPARITY;
        break;
    case 's':
        dcb.Parity = SPACEPARITY;
        break;
    default:
        dcb.Parity = NOPARITY;
        break;
    }
    const bool parity = s.parity != 'n';
    // Raw bytes, no flow control, DTR and RTS up (some receivers are powered by them).
    dcb.fBinary = TRUE;
    dcb.fParity = parity;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = parity && parity_replace != 0;
    dcb.ErrorChar = parity_replace;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    // A read takes what waits and returns at once; a write has no time limit.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!::SetCommState(port, &dcb) || !::SetCommTimeouts(port, &timeouts) ||
        !::SetCommMask(port, line_events | modem_events)) {
        const DWORD e = ::GetLastError();
        ::CloseHandle(port);
        return failure(e == ERROR_INVALID_PARAMETER ? path + " refuse les réglages de ligne"
                                                    : win32_open_error(path, e));
    }
    ::SetupComm(port, 4096, 4096);
    DWORD stale = 0; // errors from before the opening are not this link's
    ::ClearCommError(port, &stale, nullptr);

    Io& io = *io_;
    io.port = port;
    io.path = path;
    io.parity = parity;
    io.parity_replace = parity_replace;
    io.has_modem = ::GetCommModemStatus(port, &io.modem) != 0;
    io.events = line_events | modem_events;
    io.wait_pending = io.write_pending = false;
    io.lost.clear();
    // The first wait is started by the first read, which comes at once.
    ::SetEvent(io.event);
    return {};
}

void Win32SerialDevice::close() {
    Io& io = *io_;
    if (io.port == INVALID_HANDLE_VALUE) return;
    ::CancelIoEx(io.port, nullptr);
    DWORD n = 0;
    // The operations end before their buffers and structures go.
    if (io.wait_pending) ::GetOverlappedResult(io.port, &io.wait, &n, TRUE);
    if (io.write_pending) ::GetOverlappedResult(io.port, &io.writing, &n, TRUE);
    io.wait_pending = io.write_pending = false;
    if (io.poll_timer) {
        // Waits for a callback under way, so none sets the event after this.
        ::DeleteTimerQueueTimer(nullptr, io.poll_timer, INVALID_HANDLE_VALUE);
        io.poll_timer = nullptr;
    }
    ::CloseHandle(io.port);
    io.port = INVALID_HANDLE_VALUE;
    ::ResetEvent(io.event);
}

DeviceInput Win32SerialDevice::read() {
    DeviceInput in;
    Io& io = *io_;
    if (io.port == INVALID_HANDLE_VALUE) return in;
    // Cleared first: an operation that ends from now on sets it again.
    ::ResetEvent(io.event);
    auto hang_up = [&](DWORD code) {
        in.hung_up = true;
        in.why = io.lost.empty() ? win32_lost_reason(io.path, code) : io.lost;
        close();
        return in;
    };
    if (!io.lost.empty()) return hang_up(0);
    DWORD n = 0;
    DWORD errors_before = 0; // cleared while looking at a failed wait
    if (io.wait_pending && is_done(io.wait)) {
        io.wait_pending = false;
        if (!::GetOverlappedResult(io.port, &io.wait, &n, FALSE)) {
            // A wait that failed on a port that still answers is one it cannot make: fewer
            // events are asked, and when input alone cannot be waited for, the port is looked
            // at on a timer.
            const DWORD e = ::GetLastError();
            if (!::ClearCommError(io.port, &errors_before, nullptr) ||
                (!wait_for_fewer(io) && !start_polling(io)))
                return hang_up(e);
        }
    }
    if (io.write_pending && is_done(io.writing)) {
        io.write_pending = false;
        if (!::GetOverlappedResult(io.port, &io.writing, &n, FALSE))
            return hang_up(::GetLastError());
    }

    // What waits is asked first and read exactly: a read then never waits, whatever the driver
    // makes of the timeouts.
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(io.port, &errors, &status)) return hang_up(::GetLastError());
    const std::size_t waiting = status.cbInQue;
    char buf[4096];
    while (in.data.size() < std::min(waiting, read_limit)) {
        OVERLAPPED o{};
        o.hEvent = io.read_event;
        const DWORD want = static_cast<DWORD>(
            std::min(sizeof buf, std::min(waiting, read_limit) - in.data.size()));
        DWORD got = 0;
        if (!::ReadFile(io.port, buf, want, &got, &o)) {
            const DWORD e = ::GetLastError();
            if (e != ERROR_IO_PENDING || !::GetOverlappedResult(io.port, &o, &got, TRUE))
                return hang_up(e == ERROR_IO_PENDING ? ::GetLastError() : e);
        }
        if (got == 0) break;
        in.data.append(buf, got);
    }
    if (waiting > in.data.size()) ::SetEvent(io.event); // the rest at the next read
    add_comm_errors(errors | errors_before, io.parity ? io.parity_replace : 0, in);
    if (io.has_modem) {
        DWORD lines = 0;
        if (::GetCommModemStatus(io.port, &lines)) {
            add_modem_changes(io.modem, lines, in);
            io.modem = lines;
        }
    }

    // The next wait; one that ends at once (events since the last) comes back through the event.
    if (!io.wait_pending && !io.poll_timer) {
        io.wait = OVERLAPPED{};
        io.wait.hEvent = io.event;
        for (;;) {
            if (::WaitCommEvent(io.port, &io.wait_mask, &io.wait)) {
                ::SetEvent(io.event);
                break;
            }
            const DWORD e = ::GetLastError();
            if (e == ERROR_IO_PENDING) {
                io.wait_pending = true;
                break;
            }
            if (e != ERROR_NOT_SUPPORTED) return hang_up(e);
            if (!wait_for_fewer(io)) {
                if (!start_polling(io)) return hang_up(e);
                break;
            }
        }
    }
    signal_ended(io);
    return in;
}

Result<std::size_t> Win32SerialDevice::write(std::string_view bytes) {
    Io& io = *io_;
    if (io.port == INVALID_HANDLE_VALUE) return failure("le port n'est pas ouvert");
    if (!io.lost.empty()) return failure(io.lost);
    if (io.write_pending) {
        if (!is_done(io.writing)) return std::size_t{0};
        io.write_pending = false;
        DWORD n = 0;
        if (!::GetOverlappedResult(io.port, &io.writing, &n, FALSE)) {
            io.lost = win32_lost_reason(io.path, ::GetLastError());
            ::SetEvent(io.event);
            return failure(io.lost);
        }
    }
    if (bytes.empty()) return std::size_t{0};
    io.write_buffer.assign(bytes.substr(0, write_limit));
    io.writing = OVERLAPPED{};
    io.writing.hEvent = io.event;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(io.write_buffer.size());
    if (!::WriteFile(io.port, io.write_buffer.data(), size, &written, &io.writing)) {
        const DWORD e = ::GetLastError();
        if (e != ERROR_IO_PENDING) {
            io.lost = win32_lost_reason(io.path, e);
            ::SetEvent(io.event);
            return failure(io.lost);
        }
        io.write_pending = true;
    } else {
        ::SetEvent(io.event); // ended at once: the loop offers the rest of the output
    }
    signal_ended(io);
    return io.write_buffer.size();
}

} // namespace marivent::nmea
