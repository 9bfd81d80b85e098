// The folder that stands for drive C:, and the fixed files at its root.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace marivent {

inline constexpr std::string_view journal_file_name = "journal.txt";   // "c:\journal.txt"
inline constexpr std::string_view settings_file_name = "journlog.txt"; // "c:\journlog.txt"

// ROOT: the --root option, else the MARIVENT_ROOT variable (when not empty), else the platform's
// default (C:\ on Windows, the per-user application data folder elsewhere).
std::filesystem::path choose_root(const std::optional<std::string>& option,
                                  const char* environment_value,
                                  const std::filesystem::path& platform_default);

// The native path of a folder or file text as the settings and the chart programs write it
// (Windows-1252 bytes): "c:\..." (any case, "\" or "/") lies under ROOT, with "\" as separators;
// any other text is taken as a native path.
std::filesystem::path native_path(const std::filesystem::path& root, std::string_view text);

// A native path as UTF-8 text, for messages.
std::string display_path(const std::filesystem::path& path);

// The path a UTF-8 text names. On Windows a path is UTF-16, and a plain string would be read in
// the C library's locale rather than as UTF-8.
std::filesystem::path path_from_utf8(std::string_view text);

} // namespace marivent
