// The preference values of the running program, read at start-up and saved on OK.
#pragma once
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "nmea/pilot_sentences.h"
#include "prefs/settings_file.h"

namespace marivent::prefs {

inline constexpr const char* default_ozi_folder = "c:\\oziexplorer\\data\\";
inline constexpr const char* default_cmap_folder = "c:\\Program Files\\cmapecs\\routes";

struct Preferences {
    std::string command1 = "30"; // caption of the interval button Command1
    std::string command2 = "0";  // caption of the offset button Command2
    double intervalle = 0;       // journal interval in minutes
    std::string decalage;        // local time minus UTC in hours; its numeric value is used
    std::string ozipath;         // OziExplorer data folder
    std::string cmappath;        // C-Map ECS routes folder
    int port = 1;                // port number of the serial control
    bool all_talkers = false;    // "Tous les émetteurs": today's GNSS talkers and any RMB taken
    // The device chosen for each port line com1 to com4 (UTF-8); empty: the line's default.
    std::array<std::string, 4> devices;
    PilotRecords
        pilot_words;         // what goes to the autopilot, as the panel shows it and the file keeps
    nmea::PilotChoice pilot; // the same, as the decoder takes it
    // A journal entry when the course over ground changes by more than this many degrees for
    // two minutes (journal/journal_events.h); 0: never.
    int course_angle = 0;
};

// The choice records 11-14 hold, each already checked when read or typed (one that does not read
// keeps its default).
nmea::PilotChoice pilot_choice(const PilotRecords& words);

struct LoadOutcome {
    bool file_usable = true;           // false: the file could not be created or read
    std::vector<std::string> problems; // French
};

// Applies what a settings file holds, as the start-up reading does: records 1 to 15 into the
// values, and the defaults when the file holds no record. A record 1 that is not applied leaves
// the interval at the caption of Command1.
void apply_settings(const SettingsRecords& records, Preferences& p);

// Start-up reading: the file is created empty when missing; when it cannot be created or read the
// defaults apply.
LoadOutcome load_settings(const std::filesystem::path& file, Preferences& p);

// Writing on OK, from the captions and the port. Returns the problems (French), empty when the
// file was written and every text saved.
std::vector<std::string> save_settings(const std::filesystem::path& file,
                                       const SettingsToWrite& values);

} // namespace marivent::prefs
