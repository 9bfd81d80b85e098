// The settings file "c:\journlog.txt": records of 128 bytes (five in the original program).
//   records 1-4: text records, length L (uint16 LE) then L bytes of Windows-1252 text:
//                1 journal interval, 2 local time minus UTC, 3 OziExplorer folder, 4 C-Map folder
//   record 5:    port record, 02 00 (the tag of a 16-bit integer) then the port number (int16 LE);
//                read back with the text rule: a text of 2 characters, the port is the first one.
//   record 6:    "Tous les émetteurs", a text record "1" (on) or "0" (off). A reader of the five
//                records ignores it, and a file without it means off, so old files and old
//                readers both still work.
//   records 7-10: the device of the port lines com1 to com4, text records as the system names
//                the device (a path, "COM7", "tcp://HÔTE:PORT"), in UTF-8 and not Windows-1252:
//                a device name is bytes the system opens, which may be any UTF-8 on Linux, and
//                Windows-1252 cannot hold all of it. No earlier reader reads them. Empty, or a
//                file without them: the line's default device.
//   records 11-14: what goes to the autopilot, text records in ASCII: 11 "apa", "apb" or
//                "apb+rmb+xte"; 12 the bearings, "vrai" or "magnetique"; 13 the variation the
//                user gave, as typed ("2,5W"), empty for none; 14 the talker, two capitals. A file
//                without them means APA, true bearings, no variation, "AG": today's sentence.
//   record 15:   the journal's entry on a change of course, a text record in ASCII: the angle in
//                whole degrees, "0" to "180", "0" for none. A file without it means none.
// Bytes after a record's data are not significant; the file is never shortened.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marivent::prefs {

inline constexpr std::size_t record_length = 128;
inline constexpr std::size_t max_text_length = record_length - 2;
inline constexpr int record_count = 5;
inline constexpr int option_record = 6;       // "Tous les émetteurs"
inline constexpr int first_device_record = 7; // the device of com1; com2 to com4 follow
inline constexpr int device_records = 4;
inline constexpr int last_device_record = first_device_record + device_records - 1;
inline constexpr int pilot_kind_record = 11; // then the bearings, the variation, the talker
inline constexpr int pilot_talker_record = 14;
inline constexpr int course_angle_record = 15;
// The last record this version reads and writes; later ones are kept as they are.
inline constexpr int last_record = course_angle_record;

// The angle of record 15 as its text holds it: one to three digits, 0 to 180; else nothing.
std::optional<int> course_angle_value(std::string_view text);

// What goes to the autopilot, in the words of records 11-14 (see above).
struct PilotRecords {
    std::string kind = "apa";
    std::string reference = "vrai";
    std::string variation;
    std::string talker = "AG";
    bool operator==(const PilotRecords&) const = default;
};

// What a settings file holds.
struct SettingsRecords {
    int records = 0;                                   // records that start before the end (n)
    std::array<std::optional<std::string>, 4> text;    // records 1-4 that were applied
    std::optional<int> port;                           // record 5, when applied (1 to 4)
    std::optional<bool> all_talkers;                   // record 6, when the file has it
    std::array<std::optional<std::string>, 4> devices; // records 7-10 that were applied, UTF-8
    PilotRecords pilot;                // records 11-14; each one not applied keeps its default
    int course_angle = 0;              // record 15, 0 (none) when not applied
    std::vector<std::string> problems; // French, one per record not applied
};

// Reads the records in order, as far as the file goes. A record whose length runs past the end of
// the file or past 126 bytes, or a port record that is empty or holds no port 1 to 4, is not
// applied (and said in `problems`); the others are.
SettingsRecords parse_settings(std::string_view bytes);

struct SettingsToWrite {
    std::string interval;    // caption of Command1
    std::string offset;      // caption of Command2
    std::string ozi_folder;  // caption of ozichange
    std::string cmap_folder; // caption of cmapchange
    int port = 1;
    bool all_talkers = false;             // record 6
    std::array<std::string, 4> devices{}; // records 7-10, UTF-8; empty: the line's default
    PilotRecords pilot{};                 // records 11-14
    int course_angle = 0;                 // record 15
};

struct PatchedSettings {
    std::string bytes;
    std::vector<std::string> problems; // French, one per text that was not saved
};

// The file's new content: each record written in place over the old bytes, the file extended to
// hold all fifteen records and never shortened. A text longer than 126 bytes is refused: its
// record keeps what the old file held there (an empty text when it held nothing valid), so no
// record ever spills into the next.
PatchedSettings patch_settings(std::string_view old_bytes, const SettingsToWrite& values);

} // namespace marivent::prefs
