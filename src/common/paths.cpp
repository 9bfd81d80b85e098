#include "paths.h"

#include "cp1252.h"

namespace marivent {

std::filesystem::path choose_root(const std::optional<std::string>& option,
                                  const char* environment_value,
                                  const std::filesystem::path& platform_default) {
    if (option && !option->empty()) return std::filesystem::path(*option);
    if (environment_value && *environment_value) return std::filesystem::path(environment_value);
    return platform_default;
}

std::filesystem::path native_path(const std::filesystem::path& root, std::string_view text) {
    const std::string utf8 = cp1252_to_utf8(text);
    const bool on_drive_c =
        utf8.size() >= 2 && (utf8[0] == 'c' || utf8[0] == 'C') && utf8[1] == ':';
    if (!on_drive_c) return std::filesystem::path(utf8);
    std::filesystem::path out = root;
    std::string part;
    for (std::size_t i = 2; i <= utf8.size(); ++i) {
        if (i == utf8.size() || utf8[i] == '\\' || utf8[i] == '/') {
            if (!part.empty()) out /= part;
            part.clear();
        } else {
            part += utf8[i];
        }
    }
    return out;
}

std::string display_path(const std::filesystem::path& path) {
    return path.string();
}

} // namespace marivent
