#include "link/comm_control.h"
#include "common/number_text.h"

namespace marivent::nmea {

CommControl::CommControl(std::unique_ptr<SerialDevice> device, PortDevices devices)
    : device_(std::move(device)), devices_(std::move(devices)) {}

const std::string& CommControl::device_of(int port) const {
    static const std::string none;
    return port >= 1 && port <= 4 ? devices_[port - 1] : none;
}

Status CommControl::set_PortOpen(bool open) {
    if (!open) {
        const bool was_open = device_->is_open();
        device_->close();
        output_.clear();
        if (was_open && on_state_changed) on_state_changed();
        return {};
    }
    if (device_->is_open()) return failure("le port est déjà ouvert");
    const std::string& path = device_of(CommPort);
    if (path.empty()) return failure("aucun appareil pour le port " + integer_text(CommPort));
    const std::optional<LineSettings> settings = parse_line_settings(Settings);
    if (!settings) return failure("réglages de ligne invalides : " + Settings);
    Status opened = device_->open(path, *settings, ParityReplace);
    if (!opened) return opened;
    input_.clear();
    output_full_said_ = false;
    if (on_state_changed) on_state_changed();
    return {};
}

std::string CommControl::Input() {
    const std::size_t n =
        InputLen <= 0 ? input_.size() : std::min<std::size_t>(InputLen, input_.size());
    std::string out = input_.substr(0, n);
    input_.erase(0, n);
    return out;
}

void CommControl::Output(std::string_view bytes) {
    if (!device_->is_open()) return;
    if (output_.empty()) {
        const Result<std::size_t> n = device_->write(bytes);
        if (!n) return; // a write error shows as a hang-up at the next read
        bytes.remove_prefix(*n);
        if (bytes.empty()) return;
    }
    if (output_.size() + bytes.size() > output_limit) {
        if (!output_full_said_) raise(comm::er_tx_full);
        output_full_said_ = true;
        return;
    }
    const bool was_empty = output_.empty();
    output_ += bytes;
    if (was_empty && on_state_changed) on_state_changed(); // now watch for writability
}

bool CommControl::output_whole(std::string_view sentence) {
    if (!device_->is_open()) return false;
    if (!output_.empty() && output_.size() + sentence.size() > output_limit) {
        if (!output_full_said_) raise(comm::er_tx_full);
        output_full_said_ = true;
        return false;
    }
    Output(sentence); // an empty queue takes the rest of what the device leaves
    return true;
}

void CommControl::writable() {
    if (output_.empty() || !device_->is_open()) return;
    const Result<std::size_t> n = device_->write(output_);
    if (!n) {
        output_.clear();
    } else {
        output_.erase(0, *n);
    }
    if (output_.empty()) {
        output_full_said_ = false;
        if (on_state_changed) on_state_changed();
        if (SThreshold > 0) raise(comm::ev_send);
    }
}

void CommControl::raise(int code) {
    CommEvent = code;
    if (OnComm) OnComm();
}

void CommControl::readable() {
    if (!device_->is_open()) return;
    DeviceInput in = device_->read();
    const std::size_t room = input_limit - std::min(input_limit, input_.size());
    if (in.data.size() > room) {
        in.data.resize(room);
        in.events.push_back(comm::er_rx_over);
        in.event_at.resize(in.events.size() - 1, 0);
        in.event_at.push_back(room);
    }
    // Each event is raised where it happened in the data: the bytes before it are delivered
    // first, so a parity error marks the byte that had it and not the first one of the read.
    std::size_t delivered = 0;
    for (std::size_t i = 0; i < in.events.size(); ++i) {
        const std::size_t at =
            std::min(i < in.event_at.size() ? in.event_at[i] : 0, in.data.size());
        if (at > delivered) {
            input_.append(in.data, delivered, at - delivered);
            delivered = at;
            if (!in.hung_up) deliver_input();
            if (!device_->is_open() && !in.hung_up) return;
        }
        raise(in.events[i]);
        if (!device_->is_open() && !in.hung_up) return;
    }
    input_.append(in.data, delivered);
    if (in.hung_up) {
        output_.clear();
        if (on_state_changed) on_state_changed();
        if (on_hung_up) on_hung_up(in.why);
        return;
    }
    deliver_input();
}

void CommControl::deliver_input() {
    // One receive event per read the handler makes, again while input waits.
    while (RThreshold > 0 && device_->is_open() &&
           input_.size() >= static_cast<std::size_t>(RThreshold)) {
        const std::size_t before = input_.size();
        raise(comm::ev_receive);
        if (input_.size() >= before) break; // the handler took nothing: wait for the next read
    }
}

StartDevices start_devices(const std::array<std::string, 4>& options,
                           const std::function<const char*(const char*)>& getenv) {
    StartDevices d;
    for (int k = 1; k <= 4; ++k) {
        const std::string var = "MARIVENT_COM" + integer_text(k);
        const char* env = getenv ? getenv(var.c_str()) : nullptr;
        std::string& device = d.devices[k - 1];
        if (!options[k - 1].empty())
            device = options[k - 1];
        else if (env && *env)
            device = env;
        else {
#ifdef _WIN32
            device = "COM" + integer_text(k);
#else
            device = "/dev/ttyS" + integer_text(k - 1);
#endif
        }
        d.given[k - 1] = !options[k - 1].empty() || (env && *env);
    }
    return d;
}

PortDevices port_devices(const StartDevices& start, const PortDevices& preferred) {
    PortDevices d = start.devices;
    for (std::size_t i = 0; i < d.size(); ++i)
        if (!start.given[i] && !preferred[i].empty()) d[i] = preferred[i];
    return d;
}

} // namespace marivent::nmea
