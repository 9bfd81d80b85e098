// The folder that stands for drive C:, and the fixed files at its root.
#pragma once
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/file_io.h"

namespace marivent {

inline constexpr std::string_view journal_file_name = "journal.txt";   // "c:\journal.txt"
inline constexpr std::string_view settings_file_name = "journlog.txt"; // "c:\journlog.txt"

// Where ROOT came from.
enum class RootOrigin {
    option,      // --root
    environment, // MARIVENT_ROOT
    drive_c,     // Windows: C:\, where the older program left its files
    app_data,    // the user's application data folder
};

// Why ROOT is not C:\ on Windows; not_asked elsewhere, and when the user named ROOT.
enum class DriveCVerdict {
    not_asked,
    no_older_files, // neither journal.txt nor journlog.txt at C:\ .
    not_writable,   // they are there, but no file can be created in C:\ .
};

struct RootChoice {
    std::filesystem::path folder;
    RootOrigin origin = RootOrigin::app_data;
    DriveCVerdict drive_c = DriveCVerdict::not_asked;
};

// What the choice asks of the computer about drive C: on Windows: whether a file is there, and
// whether a file can be created in a folder. Given by the caller, so the choice is tried anywhere
// on made-up answers.
struct DriveCProbes {
    std::filesystem::path folder; // C:\ .
    std::function<bool(const std::filesystem::path&)> exists;
    std::function<bool(const std::filesystem::path&)> writable;
};

// The real drive C: with the real probes: a file that exists, a folder in which a temporary
// file can be created and removed (rights, not attributes, decide).
DriveCProbes system_drive_c();

// ROOT: the --root option (UTF-8), else the MARIVENT_ROOT variable (when not empty), else, when
// drive C: is given (Windows), C:\ if the older program's journal.txt or journlog.txt is there
// and C:\ can be written, so a sailor keeps the journal and settings he has; else `app_data`,
// the user's (local) application data folder. C:\ is written to only when those files are there.
RootChoice choose_root(const std::optional<std::string>& option, const char* environment_value,
                       const std::filesystem::path& app_data,
                       const DriveCProbes* drive_c = nullptr);

// Creates ROOT when missing. A French problem for the start-up's messages when it cannot be
// created or written (`writable`: folder_writable, or a test's), naming where it came from: the
// journal and settings files then say what they could not do, and a folder the user named is
// kept rather than replaced.
std::optional<std::string>
prepare_root(const RootChoice& choice,
             const std::function<Status(const std::filesystem::path&)>& writable = folder_writable);

// A French line for the status line at start-up naming the folder of the journal and settings
// when it is not the one a user of the older program looks in (C:\ on Windows); nothing when it
// is, when the user named it, and on the other systems.
std::optional<std::string> root_notice(const RootChoice& choice);

// How a "c:\..." text of the settings is read: below ROOT where ROOT stands for drive C:, or as
// drive C: itself, which Windows has.
enum class DriveC { under_root, itself };
#ifdef _WIN32
inline constexpr DriveC drive_c_here = DriveC::itself;
#else
inline constexpr DriveC drive_c_here = DriveC::under_root;
#endif

// The native path of a folder or file text as the settings and the chart programs write it
// (Windows-1252 bytes): "c:\..." (any case, "\" or "/") lies under ROOT, or on drive C: itself
// ("C:\..."), with "\" as separators; any other text is taken as a native path.
std::filesystem::path native_path(const std::filesystem::path& root, std::string_view text,
                                  DriveC drive_c = drive_c_here);

// A native path as UTF-8 text, for messages.
std::string display_path(const std::filesystem::path& path);

// The path a UTF-8 text names. On Windows a path is UTF-16, and a plain string would be read in
// the C library's locale rather than as UTF-8.
std::filesystem::path path_from_utf8(std::string_view text);

} // namespace marivent
