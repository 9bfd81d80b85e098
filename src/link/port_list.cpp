#include "link/port_list.h"

namespace marivent::nmea {

std::string port_label(const SerialPortName& port) {
    return port.description.empty() ? port.device : port.device + " — " + port.description;
}

} // namespace marivent::nmea
