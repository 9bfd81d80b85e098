// The conversion run by a click in the file list `File1`: which direction, the source and output
// paths, the replacement question, the order of the steps.
//
// How the window calls it, from `File1_Click`:
//
//     Frame1->hide();
//     transfer::Click click;
//     click.ozicm = ozicm;                       // 1 after "&Ozi vers Cmap", 0 after "&Cmap vers
//     Ozi" click.file = file1_folder / selected_name; // native path of the clicked file click.root
//     = root;                         // ROOT, where "c:\..." folder texts lie click.ozipath =
//     ozipath;                   // Windows-1252 texts, as in the settings click.cmappath =
//     cmappath; click.waypoin = waypoin->isChecked();      // used from C-Map ECS to OziExplorer
//     only click.rout = rout->isChecked(); const transfer::Conversion conversion =
//     transfer::conversion_of(click); const transfer::Outcome out = transfer::convert(conversion,
//     dialogs); if (out.lat) lat->setText(from_cp1252(*out.lat)); File1->hide(); // whatever the
//     outcome note(transfer::summary(conversion, out));
//
// The driver itself asks the replacement question ("Tu veux", Yes/No, naming the file) and shows
// every error or warning (title "Journal de bord") through `dialogs`; `summary` says what was
// done, for the window's status line. The patterns
// of `File1` stay the window's: "*.rte;*.wpt;*.plt" from OziExplorer, "*." (no extension) from
// C-Map ECS. Nothing here throws, shows a widget or ends the program.
#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/seams.h"

namespace marivent::transfer {

inline constexpr std::string_view question_title = "Tu veux";
// Asked before a file is replaced.
inline constexpr std::string_view replace_question = "Le fichier existe déjà. Il va être remplacé";
// Asked before an OziExplorer route or waypoint file is replaced.
inline constexpr std::string_view replace_ozi_question = replace_question;
// Asked before a C-Map ECS route file is replaced.
inline constexpr std::string_view replace_cmap_question =
    "Le fichier existe déjà. Il va être remplacé.\nSinon renomme le fichier Ozi";
inline constexpr std::string_view message_title = "Journal de bord";

enum class Direction { cmap_to_ozi, ozi_to_cmap };

// One conversion with native paths (what the command-line tool gives).
struct Conversion {
    Direction direction = Direction::ozi_to_cmap;
    std::filesystem::path source;      // the clicked file
    std::filesystem::path ozi_folder;  // where OziExplorer files are written
    std::filesystem::path cmap_folder; // where C-Map ECS route files are written
    bool waypoints = false;            // `waypoin`: write NAME.wpt (C-Map ECS to OziExplorer)
    bool route = false;                // `rout`: write NAME.rte (C-Map ECS to OziExplorer)
};

// The same as the window holds it.
struct Click {
    int ozicm = 1;
    std::filesystem::path file;
    std::filesystem::path root;
    std::string ozipath;  // Windows-1252
    std::string cmappath; // Windows-1252
    bool waypoin = false;
    bool rout = false;
};

struct Outcome {
    enum class End {
        done,     // every file asked for was written (none, when neither box was ticked)
        declined, // the user answered No: nothing more was written
        failed,   // an error was shown: nothing more was written
    };
    End end = End::done;
    // For the `lat` box: the latitude text of the last waypoint read from a C-Map ECS file
    // (Windows-1252, e.g. " 43 05.12N"); empty when no C-Map ECS waypoint was read.
    std::optional<std::string> lat;
    std::vector<std::filesystem::path> written; // in the order written
    std::size_t waypoint_count = 0;             // waypoints or track points read
    std::vector<std::string> shown;             // the messages already shown, for logs and tests
};

// The output paths of a conversion: NAME (the file name without its last four characters) in the
// C-Map ECS folder, or FILE.rte and FILE.wpt in the OziExplorer folder.
std::filesystem::path cmap_output(const Conversion& c);
std::filesystem::path ozi_route_output(const Conversion& c);
std::filesystem::path ozi_waypoint_output(const Conversion& c);

// Runs the conversion: reads the source, then writes each output with write_output.
Outcome convert(const Conversion& c, Dialogs& dialogs);

// The replacement rule of every file written here and by marivent-convert: a file that is not
// empty is replaced only when `dialogs` answers Yes to `question` (--force on the command line);
// a folder or other object of that name is not replaced. The file is written whole through a
// temporary file, so a failed write leaves the old one. True when written (`path` added to
// `out.written`); else `out.end` is declined, or failed with the error shown through `dialogs`
// (title message_title) and added to `out.shown`.
bool write_output(const std::filesystem::path& path, std::string_view bytes,
                  std::string_view question, Dialogs& dialogs, Outcome& out);

// The conversion a click stands for: `ozicm` 0 runs C-Map ECS to OziExplorer, any other value
// the other way; `ozipath` and `cmappath` mapped with native_path(root, text).
Conversion conversion_of(const Click& click);

// The second text of the replacement question: the file's full path, size and date.
std::string file_detail(const std::filesystem::path& path);

// What a conversion did, in one French line (UTF-8): the source, the files written with their
// folder and the number of waypoints, or that nothing (more) was written and why.
std::string summary(const Conversion& c, const Outcome& out);

} // namespace marivent::transfer
