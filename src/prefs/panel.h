// The decisions of the preferences panel: the spinners' steps and what OK applies and saves.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "common/result.h"
#include "prefs/preferences.h"

namespace marivent::prefs {

// A spinner tied to the caption of a button: one step up (+1) or down (-1) from the number the
// caption shows, kept within the limits; the new caption.
struct Spinner {
    int min, max, step;
};
inline constexpr Spinner interval_spinner{5, 120, 5}; // UpDown1
inline constexpr Spinner offset_spinner{-12, 12, 1};  // UpDown2
std::string step_caption(const Spinner& spinner, const std::string& caption, int direction);

// What the panel shows when OK is pressed.
struct PanelCaptions {
    std::string command1, command2, ozichange, cmapchange; // Windows-1252
    int port_line = 1;                                     // selected line of portgps, from 0
    bool all_talkers = false;                              // the box "Tous les émetteurs"
    std::array<std::string, 4> devices{}; // "Appareil du port" of each line, UTF-8; empty: default
    PilotRecords pilot{};                 // what goes to the autopilot, each value checked
    int course_angle = 0;                 // the journal's entry on a change of course, checked
};

// OK: the interval and offset take the numeric values of their captions, the folders the captions
// of the option buttons, the port the selected line + 1, the devices those of the lines, the
// pilot's choice and the angle as checked. Returns what the settings file gets.
SettingsToWrite apply_ok(const PanelCaptions& panel, Preferences& p);

// A number as the program writes it in a text: 2, -3, 5.5.
std::string number_text(double value);

// A device typed or chosen for a port line, trimmed; or the French reason it cannot be kept:
// a network address the network device would refuse, or a text too long for its record.
Result<std::string> check_device(std::string_view text);

// A variation typed in the panel, trimmed ("" for none); or the French reason it is refused.
Result<std::string> check_variation(std::string_view text);
// A talker typed in the panel, in capitals; or the French reason it is refused.
Result<std::string> check_talker(std::string_view text);
// The angle of the journal's entry on a change of course as typed, trimmed: a whole number of
// degrees from 0 (never) to 180; or the French reason it is refused.
Result<int> check_course_angle(std::string_view text);

} // namespace marivent::prefs
