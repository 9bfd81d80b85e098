// The serial-port control `MSComm1`, shared by the GPS link, the autopilot output, the simulator
// and the SeaTalk capture: the properties the program puts and gets, and the OnComm event.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "link/serial_device.h"

namespace marivent::nmea {

// The device each port number 1 to 4 stands for.
using PortDevices = std::array<std::string, 4>;

class CommControl {
  public:
    explicit CommControl(std::unique_ptr<SerialDevice> device, PortDevices devices);

    // Properties.
    int CommPort = 1;
    std::string Settings = "4800,n,8,1";
    int InputLen = 0;   // items returned by one read of Input (0: all)
    int RThreshold = 0; // receive event when this many wait (0: no receive event)
    int SThreshold = 0;
    int OutBufferSize = 512;
    int InputMode = 0; // 0 text, 1 bytes (both come as bytes here)
    char ParityReplace = '?';
    int CommEvent = 0; // code of the event being handled

    // Putting PortOpen: opens with the port number and settings held now, or closes. Opening
    // returns the reason (French) when it fails; closing never fails.
    Status set_PortOpen(bool open);
    bool PortOpen() const { return device_->is_open(); }
    int InBufferCount() const { return static_cast<int>(input_.size()); }
    std::string Input();
    // Sends in order; what the device cannot take at once waits in the output queue. Bytes that
    // do not fit in the queue are left out (the overflow event is raised once per filling).
    void Output(std::string_view bytes);
    // Sends `sentence` whole or not at all: false, and nothing sent, when the queue has no room
    // for all of it. Whatever has started leaving is always finished first, so sentences never
    // interleave or arrive cut.
    bool output_whole(std::string_view sentence);

    const std::string& device_of(int port) const;
    const PortDevices& devices() const { return devices_; }
    // Serves from the next opening; an open link stays on its device.
    void set_devices(PortDevices devices) { devices_ = std::move(devices); }
    int descriptor() const { return device_->descriptor(); }
    // Windows: the event to wait on in place of the descriptor (SerialDevice::wait_handle); when
    // it is set, the loop calls readable() then writable().
    void* wait_handle() const { return device_->wait_handle(); }
    bool output_waiting() const { return !output_.empty(); }

    // OnComm, raised on the caller's thread from `readable()`.
    std::function<void()> OnComm;
    // Told when the device went away and the port was closed (French reason).
    std::function<void(const std::string&)> on_hung_up;
    // Told when the port opens or closes, so the event loop watches the right descriptor.
    std::function<void()> on_state_changed;

    // The event loop's calls: the descriptor is readable / writable.
    void readable();
    void writable();

    static constexpr std::size_t input_limit = 1 << 16;
    static constexpr std::size_t output_limit = 1 << 16;

  private:
    void raise(int code);
    void deliver_input();

    std::unique_ptr<SerialDevice> device_;
    PortDevices devices_;
    std::string input_;
    std::string output_;
    bool output_full_said_ = false;
};

// Each port's device before the preferences: `--com k=DEVICE` (given as `options`), else the
// variable MARIVENT_COMk, else the system's default, COMk on Windows and /dev/ttyS(k-1) elsewhere.
struct StartDevices {
    PortDevices devices;
    std::array<bool, 4> given{}; // from --com or MARIVENT_COMk: no preference changes it
};
StartDevices start_devices(const std::array<std::string, 4>& options,
                           const std::function<const char*(const char*)>& getenv);

// The device a port number stands for: the one given at start, else the preferred one (empty:
// none), else the default.
PortDevices port_devices(const StartDevices& start, const PortDevices& preferred);

} // namespace marivent::nmea
