#include "paths.h"

#include "cp1252.h"
#include "file_io.h"

namespace marivent {

namespace {

// The folder of a choice as the user would name it: where it came from.
std::string folder_of(const RootChoice& choice) {
    const std::string shown = display_path(choice.folder);
    switch (choice.origin) {
    case RootOrigin::option:
        return "Le dossier " + shown + " (option --root)";
    case RootOrigin::environment:
        return "Le dossier " + shown + " (variable MARIVENT_ROOT)";
    case RootOrigin::drive_c:
        return "Le dossier " + shown;
    case RootOrigin::app_data:
        break;
    }
    return "Le dossier de données " + shown;
}

} // namespace

DriveCProbes system_drive_c() {
    return {path_from_utf8("C:\\"),
            [](const std::filesystem::path& file) {
                std::error_code error;
                return std::filesystem::exists(file, error);
            },
            [](const std::filesystem::path& folder) { return folder_writable(folder).ok(); }};
}

RootChoice choose_root(const std::optional<std::string>& option, const char* environment_value,
                       const std::filesystem::path& app_data, const DriveCProbes* drive_c) {
    if (option && !option->empty()) return {path_from_utf8(*option), RootOrigin::option};
    if (environment_value && *environment_value)
        return {path_from_utf8(environment_value), RootOrigin::environment};
    if (!drive_c) return {app_data, RootOrigin::app_data};
    const bool older_files = drive_c->exists(drive_c->folder / std::string(journal_file_name)) ||
                             drive_c->exists(drive_c->folder / std::string(settings_file_name));
    if (!older_files) return {app_data, RootOrigin::app_data, DriveCVerdict::no_older_files};
    if (!drive_c->writable(drive_c->folder))
        return {app_data, RootOrigin::app_data, DriveCVerdict::not_writable};
    return {drive_c->folder, RootOrigin::drive_c};
}

std::optional<std::string>
prepare_root(const RootChoice& choice,
             const std::function<Status(const std::filesystem::path&)>& writable) {
    std::error_code error;
    if (!std::filesystem::is_directory(choice.folder, error)) {
        std::filesystem::create_directories(choice.folder, error);
        if (error)
            return folder_of(choice) + " n'existe pas et ne peut pas être créé (" +
                   error_text(error) +
                   ") : le journal et les préférences ne peuvent pas y être enregistrés.";
    }
    if (const Status written = writable(choice.folder); !written)
        return folder_of(choice) + " n'est pas accessible en écriture (" + written.why() +
               ") : les préférences ne peuvent pas y être enregistrées.";
    return std::nullopt;
}

std::optional<std::string> root_notice(const RootChoice& choice) {
    const std::string where = "Journal et préférences dans " + display_path(choice.folder);
    switch (choice.drive_c) {
    case DriveCVerdict::not_asked:
        break;
    case DriveCVerdict::no_older_files:
        return where + ".";
    case DriveCVerdict::not_writable:
        return where + " (C:\\ n'est pas accessible en écriture).";
    }
    return std::nullopt;
}

std::filesystem::path native_path(const std::filesystem::path& root, std::string_view text,
                                  DriveC drive_c) {
    const std::string utf8 = cp1252_to_utf8(text);
    const bool on_drive_c =
        utf8.size() >= 2 && (utf8[0] == 'c' || utf8[0] == 'C') && utf8[1] == ':';
    if (!on_drive_c) return path_from_utf8(utf8);
    // The names between the separators, below ROOT or below "C:\".
    std::filesystem::path out = root;
    std::string itself = "C:\\";
    std::string part;
    for (std::size_t i = 2; i <= utf8.size(); ++i) {
        if (i == utf8.size() || utf8[i] == '\\' || utf8[i] == '/') {
            if (!part.empty()) {
                out /= path_from_utf8(part);
                if (itself.back() != '\\') itself += '\\';
                itself += part;
            }
            part.clear();
        } else {
            part += utf8[i];
        }
    }
    return drive_c == DriveC::itself ? path_from_utf8(itself) : out;
}

std::string display_path(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    return path.string();
#endif
}

std::filesystem::path path_from_utf8(std::string_view text) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return std::filesystem::path(std::string(text));
#endif
}

} // namespace marivent
