// The serial ports from the names under /dev: directory entries and the targets of links only,
// since opening a terminal device can reset the equipment on it or block.
#include <algorithm>
#include <system_error>

#include "link/port_list.h"

namespace marivent::nmea {

namespace {

// ttyUSB2 before ttyUSB10.
bool number_order(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

} // namespace

std::vector<SerialPortName> list_serial_ports(const std::filesystem::path& dev) {
    namespace fs = std::filesystem;
    std::vector<SerialPortName> by_id, ttys;
    std::error_code ec;
    for (fs::directory_iterator it(dev / "serial" / "by-id", ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code link_ec;
        const fs::path target = fs::read_symlink(it->path(), link_ec);
        if (link_ec) continue; // udev makes links only
        by_id.push_back({it->path().string(), target.filename().string()});
    }
    std::sort(by_id.begin(), by_id.end(),
              [](const SerialPortName& a, const SerialPortName& b) { return a.device < b.device; });
    ec.clear();
    for (fs::directory_iterator it(dev, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto numbered = [&](std::string_view prefix) {
            return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
                   std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()),
                               name.end(), [](char c) { return c >= '0' && c <= '9'; });
        };
        if (numbered("ttyUSB") || numbered("ttyACM")) ttys.push_back({it->path().string(), ""});
    }
    std::sort(ttys.begin(), ttys.end(), [](const SerialPortName& a, const SerialPortName& b) {
        return number_order(a.device, b.device);
    });
    by_id.insert(by_id.end(), ttys.begin(), ttys.end());
    return by_id;
}

std::vector<SerialPortName> list_serial_ports() {
    return list_serial_ports("/dev");
}

} // namespace marivent::nmea
