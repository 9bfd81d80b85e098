// A serial device whose input and events the test writes, and whose output it reads: for the
// event codes a pseudo-terminal cannot raise.
#pragma once
#include <deque>

#include "link/serial_device.h"

namespace marivent::testing {

class ScriptedSerial : public nmea::SerialDevice {
  public:
    struct State {
        bool open = false;
        std::string path;
        nmea::LineSettings settings;
        char parity_replace = 0;
        std::deque<nmea::DeviceInput> reads; // what each read returns
        std::string written;
        std::size_t accept = std::string::npos; // bytes taken by each write
        std::string refuse;                     // non-empty: open fails with this reason
    };
    explicit ScriptedSerial(State& s) : s_(s) {}
    Status open(const std::string& path, const nmea::LineSettings& settings,
                char replace) override {
        if (!s_.refuse.empty()) return failure(s_.refuse);
        s_.open = true;
        s_.path = path;
        s_.settings = settings;
        s_.parity_replace = replace;
        return {};
    }
    void close() override { s_.open = false; }
    bool is_open() const override { return s_.open; }
    int descriptor() const override { return -1; }
    nmea::DeviceInput read() override {
        if (s_.reads.empty()) return {};
        nmea::DeviceInput in = std::move(s_.reads.front());
        s_.reads.pop_front();
        if (in.hung_up) s_.open = false;
        return in;
    }
    Result<std::size_t> write(std::string_view bytes) override {
        const std::size_t n = std::min(bytes.size(), s_.accept);
        s_.written.append(bytes.substr(0, n));
        return n;
    }

  private:
    State& s_;
};

} // namespace marivent::testing
