// The window `journ`, "Journal de bord": the navigation panel, the raw GPS line, the hidden
// panels and the menus, with the window-level and module-level values of the program.
#pragma once
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/seams.h"
#include "journal/journal_events.h"
#include "journal/journal_file.h"
#include "journal/journal_read.h"
#include "link/comm_control.h"
#include "link/port_list.h"
#include "nmea/decoder.h"
#include "nmea/navigation.h"
#include "panel_host.h"
#include "prefs/preferences.h"
#include "station/freshness.h"
#include "station/link_life.h"

class QAction;
class QLabel;
class QLineEdit;
class QSocketNotifier;
class QWinEventNotifier;

namespace marivent::app {

class Printer;

struct Services {
    const RegionalSettings& regional;
    Dialogs& dialogs;
    const Clock& clock;
    ClockSetter* clock_setter = nullptr; // nullptr: the computer clock is never set
    TextViewer* viewer = nullptr;        // the help and journal viewer
    const SteadyClock* steady = nullptr; // nullptr: the window's own, from its creation
    Printer* printer = nullptr;          // Journal > Imprimer; nullptr: nothing is printed
};

// The serial side: the device under the control, and the device of each port number before the
// preferences; a port `given` keeps its device whatever the preferences name for it.
struct SerialSetup {
    std::unique_ptr<nmea::SerialDevice> device;
    nmea::PortDevices devices;
    std::array<bool, 4> given{};
    // The machine's serial ports, which the preferences offer for each port line.
    std::function<std::vector<nmea::SerialPortName>()> list_ports = [] {
        return nmea::list_serial_ports();
    };
};
SerialSetup posix_serial(const nmea::PortDevices& devices);
// The program's own: the ports as --com and MARIVENT_COMk leave them, the preferences over the
// rest.
SerialSetup start_serial(const nmea::StartDevices& devices);

class Journ : public QMainWindow, public Display, public WindowSide {
    Q_OBJECT
  public:
    // Creates the window and runs the start-up sequence; the caller shows it.
    Journ(std::filesystem::path root, Services services, SerialSetup serial,
          QWidget* parent = nullptr);
    ~Journ() override;

    // Display: the text boxes, as Windows-1252 bytes.
    void set_text(Box box, std::string_view text) override;
    std::string text(Box box) const override;
    void set_speed_colour(long colour) override;

    QWidget* control(const QString& name) const override;
    void register_control(const QString& name, QWidget* w) override { controls_[name] = w; }
    // A French message to the user, in a box titled like the window.
    void tell(const std::string& text) override;
    // What the last command did, what a list shows, or what the start-up dealt with, on the line
    // above the status line (empty: nothing).
    void note(const QString& text) override;
    QAction* menu(const QString& name) const override;
    void cancel_preferences() override;

    // Problems met at start-up that the user must know of, in French; shown in a box once the
    // window is up (show_startup_problems).
    const std::vector<std::string>& startup_problems() const { return startup_problems_; }
    void show_startup_problems();
    // What the start-up dealt with by itself, in French: on the status line from the start.
    const std::vector<std::string>& startup_notices() const { return startup_notices_; }
    // What was learnt before the window was made (where ROOT is, whether it can be written): put
    // before the window's own problems or notices, the notices shown at once.
    void add_startup_problem(const std::string& text);
    void add_startup_notice(const std::string& text);

    // Menu handlers.
    void mnuquitter_Click();
    void mnugpsdeb_Click();
    void mnugpsfin_Click();
    void MSComm1_OnComm();
    void Timer1_Timer();
    void mnujourecrire_Click();
    void mnujoulire_Click();
    // Journal > Remarque: the remark's line shown; Enter in it writes the remark.
    void mnujourremarque_Click();
    void write_remark();
    // Journal > Corriger: a line's number and its correction; Enter writes the correction.
    void mnujourcorriger_Click();
    void write_correction();
    // Journal > Imprimer: the journal's pages to the printer the user chooses.
    void mnujourimprimer_Click();
    void mnuoutilaide_Click();
    int retry_interval_ms = 5000; // between two tries of a link that was cut
    void show_status();
    void pilot_refused(const nmea::DecodeResult& result);
    // Marks the values that have become old and brings the status line up to date; the window
    // calls it when the next value can age (tests call it after moving their clock).
    void freshness_tick();
    class PrefsPanel* preferences = nullptr;  // the panel `prefer` and its handlers
    class Instruments* instruments = nullptr; // the simulator and the SeaTalk capture
    class TransferPanel* transfers = nullptr; // the route and waypoint transfer
    Dialogs& dialogs() { return services_.dialogs; }

    const std::filesystem::path root;
    // Preference values: intervalle, decalage, the folders, the port number.
    prefs::Preferences prefs;
    journal::JournalFile journal;
    QTimer Timer1;
    // Single shot, one frame of the screen: the boxes show what they hold when it ends, one frame
    // after the first change since the last (text() has the new text at once).
    QTimer display_frame;
    nmea::CommControl MSComm1;
    nmea::Navigation nav; // the navigation values, with gpsmauvais, miseheure and trame

    // Module-level and window-level values.
    double compteur = 0;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build_controls();
    void build_menus();
    void Form_Load();
    void Form_Unload();
    void watch_port();
    // An entry at a tick (not `asked`), asked for, or on an event: marked, and said on the
    // window's line.
    void journecri(bool asked, journal::EntryEvent event = journal::EntryEvent::none);
    // After a line decoded: the entry on an event it brings, if any.
    void journal_event(const nmea::DecodeResult& result, long long now);
    journal::JournalEvents journal_events_;
    void show_journal();
    // The UTC time of day in minutes for a remark or a correction: the GPS's while its position
    // is fresh, else the computer's less the offset of the preferences (`gps_time` false).
    int note_minutes(bool& gps_time) const;
    // How the window reads its journal back (viewer, corrections, printing): the offset of the
    // preferences and the regional date format first.
    journal::ReadOptions journal_read_options() const;
    QString port_name() const;

    Services services_;
    nmea::StartDevices start_devices_; // the ports' devices before the preferences
    std::function<std::vector<nmea::SerialPortName>()> list_ports_;
    std::map<QString, QWidget*> controls_;
    std::map<QString, QAction*> menus_;
    // A text box: the exact text it holds, which text() returns at once, and whether its widget
    // still shows an older one. The widgets catch up once a frame (show_frame): the GPS changes
    // Text2 and the position with every line, several lines between two frames of the screen.
    struct BoxView {
        QLineEdit* edit = nullptr;
        std::string text;
        bool stale = false;
        long background = -1; // of its row, -1: none
    };
    std::map<std::string, BoxView, std::less<>> boxes_;   // every text box, by control name
    std::array<BoxView*, std::size(all_boxes)> by_box_{}; // those the core writes
    BoxView& view(Box box) const { return *by_box_[static_cast<std::size_t>(box)]; }
    std::vector<BoxView*> stale_;  // boxes to redraw at the next frame
    long speed_colour_ = -1;       // the colour of `vi` held, and the one shown
    long shown_speed_colour_ = -1; // (-1: its usual colour)
    void request_frame();
    void show_frame();
    void show_startup_notices();
    std::vector<std::string> startup_problems_;
    std::vector<std::string> startup_notices_;
    QSocketNotifier* port_readable_ = nullptr;
    QSocketNotifier* port_writable_ = nullptr;
    QWinEventNotifier* port_event_ = nullptr; // Windows: the device's event in place of both
    void link_hung_up(const std::string& why);
    void link_opened();
    void link_closed();
    void retry_link();
    void stop_retrying();
    void keys();
    QLabel* status_ = nullptr;
    QLabel* note_ = nullptr;
    QTimer retry_, status_timer_;
    QElapsedTimer status_phase_; // since the link opened: the status line's steps of a second
    bool status_live_ = false;   // a link open or being tried again
    void resume_status();
    QElapsedTimer since_start_;
    long long steady_ms() const;
    station::Freshness freshness_;
    QTimer freshness_timer_;
    long long freshness_due_ = 0;               // when freshness_timer_ fires
    bool marked_old_[station::box_groups] = {}; // the groups shown as old
    void watch_freshness();
    void show_old_values();
    QString vi_sheet() const;
    bool silence_said_ = false; // the status line says the GPS is silent
    QString journal_said_;      // why the last timed entry was not written, for the status line
    station::LinkLife link_life_;
    station::LastMinute received_, rejected_;
    QString last_apa_;      // local time the last autopilot sentence left
    QString pilot_refused_; // why the chosen set goes without its bearings, while it does
    void show_left_out(nmea::LineFault fault);
    void note_talkers(const nmea::DecodeResult& result);
    station::TalkerHint talker_hint_;
    long apa_dropped_ = 0; // autopilot sentences left out since the link opened
    nmea::LineFault last_fault_ = nmea::LineFault::none;
    bool clock_refusal_said_ = false;
    char decimal_separator_ = ','; // of the regional settings, read once at start-up
};

} // namespace marivent::app
