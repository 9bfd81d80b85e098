#include "link/posix_serial.h"
#include "common/number_text.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "common/file_io.h"
#include "common/value.h"

namespace marivent::nmea {

namespace {

speed_t speed_of(int baud) {
    switch (baud) {
    case 300:
        return B300;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

std::string open_error(const std::string& path, int e) {
    switch (e) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return path + " n'existe pas (récepteur débranché ?)";
    case EACCES:
    case EPERM:
        return "accès refusé à " + path +
               " : ajoutez votre compte au groupe dialout (sudo usermod -aG dialout $USER), puis "
               "ouvrez une nouvelle session";
    case EBUSY:
    case EWOULDBLOCK:
        return path + " est déjà utilisé par un autre programme";
    default:
        return path + " : " + error_text(e);
    }
}

} // namespace

PosixSerialDevice::~PosixSerialDevice() {
    close();
}

Status PosixSerialDevice::open(const std::string& path, const LineSettings& s,
                               char parity_replace) {
    close();
    const speed_t speed = speed_of(s.baud);
    if (speed == B0) return failure("vitesse non prise en charge : " + integer_text(s.baud));
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failure(open_error(path, errno));
    termios t{};
    if (!::isatty(fd) || ::tcgetattr(fd, &t) != 0) {
        ::close(fd);
        return failure(path + " n'est pas un port série");
    }
    // Another program holding the port has it locked, or opened it exclusively.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return failure(open_error(path, EBUSY));
    }
    ::cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | IGNPAR | ISTRIP | IXON | IXOFF);
    t.c_iflag |= PARMRK;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag |= s.data_bits == 5 ? CS5 : s.data_bits == 6 ? CS6 : s.data_bits == 7 ? CS7 : CS8;
    if (s.stop_bits == 2) t.c_cflag |= CSTOPB;
    parity_ = s.parity != 'n';
    switch (s.parity) {
    case 'e':
        t.c_cflag |= PARENB;
        break;
    case 'o':
        t.c_cflag |= PARENB | PARODD;
        break;
    case 'm':
        t.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 's':
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    if (parity_) t.c_iflag |= INPCK;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        const int e = errno;
        ::close(fd);
        return failure(open_error(path, e));
    }
    fd_ = fd;
    parity_replace_ = parity_replace;
    mark_state_ = 0;
    int lines = 0;
    modem_ = ::ioctl(fd_, TIOCMGET, &lines) == 0 ? lines : -1;
    serial_icounter_struct counts{};
    overruns_ = ::ioctl(fd_, TIOCGICOUNT, &counts) == 0 ? counts.overrun + counts.buf_overrun : -1;
    return {};
}

void PosixSerialDevice::close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

void PosixSerialDevice::unmark(const char* bytes, std::size_t n, DeviceInput& in) {
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        switch (mark_state_) {
        case 0:
            if (b == 0xFF)
                mark_state_ = 1;
            else
                in.data += static_cast<char>(b);
            break;
        case 1:
            if (b == 0xFF) {
                in.data += '\xFF';
                mark_state_ = 0;
            } // FF FF: a data byte FF
            else if (b == 0) {
                mark_state_ = 2;
            } else {
                in.data += '\xFF';
                in.data += static_cast<char>(b);
                mark_state_ = 0;
            }
            break;
        default: // FF 00 X
            mark_state_ = 0;
            if (b == 0) {
                in.add_event(comm::er_break);
            } else if (parity_) {
                in.add_event(comm::er_rx_parity);
                in.data += parity_replace_ ? parity_replace_ : static_cast<char>(b);
            } else {
                in.add_event(comm::er_frame);
                in.data += static_cast<char>(b);
            }
        }
    }
}

DeviceInput PosixSerialDevice::read() {
    DeviceInput in;
    if (fd_ < 0) return in;
    char buf[4096];
    bool got_any = false;
    // The terminal doubles a data byte FF and marks errors in three bytes: the data is never
    // longer than the bytes read, so `read_limit` bounds both.
    for (std::size_t taken = 0; taken < read_limit;) {
        const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, read_limit - taken));
        if (n > 0) {
            got_any = true;
            taken += static_cast<std::size_t>(n);
            unmark(buf, static_cast<std::size_t>(n), in);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        // End of file (the line hung up) or an error such as EIO (the device went away).
        if (n == 0 && got_any) break;
        in.hung_up = true;
        in.why = n == 0 ? "la ligne a été raccrochée" : error_text(errno);
        close();
        return in;
    }
    if (overruns_ >= 0) {
        serial_icounter_struct counts{};
        if (::ioctl(fd_, TIOCGICOUNT, &counts) == 0) {
            const long now = counts.overrun + counts.buf_overrun;
            if (now > overruns_) in.add_event(comm::er_overrun);
            overruns_ = now;
        }
    }
    if (modem_ >= 0) {
        int lines = 0;
        if (::ioctl(fd_, TIOCMGET, &lines) == 0) {
            const int changed = lines ^ modem_;
            if (changed & TIOCM_CD) in.add_event(comm::ev_cd);
            if (changed & TIOCM_CTS) in.add_event(comm::ev_cts);
            if (changed & TIOCM_DSR) in.add_event(comm::ev_dsr);
            if ((changed & TIOCM_RI) && (lines & TIOCM_RI)) in.add_event(comm::ev_ring);
            modem_ = lines;
        }
    }
    return in;
}

Result<std::size_t> PosixSerialDevice::write(std::string_view bytes) {
    if (fd_ < 0) return failure("le port n'est pas ouvert");
    for (;;) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return std::size_t{0};
        return failure(error_text(errno));
    }
}

} // namespace marivent::nmea
