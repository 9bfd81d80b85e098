// What a panel may ask of the window and share with it: its controls and menus, the two ways of
// telling the user, the text boxes, and the values the panels and the window both use. The panels
// hold this, not the window, so that nothing in them reaches into the window's other state.
#pragma once
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/seams.h"

class QAction;
class QWidget;

namespace marivent::prefs {
struct Preferences;
}
namespace marivent::nmea {
class CommControl;
struct Navigation;
struct StartDevices;
struct SerialPortName;
} // namespace marivent::nmea

namespace marivent::app {

class WindowSide {
  public:
    virtual QWidget* control(const QString& name) const = 0;
    virtual void register_control(const QString& name, QWidget* w) = 0;
    virtual QAction* menu(const QString& name) const = 0;
    // A French message in a box titled like the window.
    virtual void tell(const std::string& text) = 0;
    // A line above the status line (empty: nothing).
    virtual void note(const QString& text) = 0;
    // Puts the preferences away as Escape does, nothing applied.
    virtual void cancel_preferences() = 0;

  protected:
    ~WindowSide() = default;
};

struct PanelHost {
    WindowSide& window;
    Display& display;
    Dialogs& dialogs;
    const std::filesystem::path& root;
    prefs::Preferences& prefs;
    nmea::CommControl& port; // the GPS port, shared with the simulator and the capture
    nmea::Navigation& nav;
    const nmea::StartDevices& start_devices; // the ports' devices before the preferences
    const std::function<std::vector<nmea::SerialPortName>()>& serial_ports; // the machine's
};

} // namespace marivent::app
