#include "paths.h"

#include "cp1252.h"

namespace marivent {

std::filesystem::path choose_root(const std::optional<std::string>& option,
                                  const char* environment_value,
                                  const std::filesystem::path& platform_default) {
    if (option && !option->empty()) return path_from_utf8(*option);
    if (environment_value && *environment_value) return path_from_utf8(environment_value);
    return platform_default;
}

std::filesystem::path native_path(const std::filesystem::path& root, std::string_view text) {
    const std::string utf8 = cp1252_to_utf8(text);
    const bool on_drive_c =
        utf8.size() >= 2 && (utf8[0] == 'c' || utf8[0] == 'C') && utf8[1] == ':';
    if (!on_drive_c) return path_from_utf8(utf8);
    std::filesystem::path out = root;
    std::string part;
    for (std::size_t i = 2; i <= utf8.size(); ++i) {
        if (i == utf8.size() || utf8[i] == '\\' || utf8[i] == '/') {
            if (!part.empty()) out /= path_from_utf8(part);
            part.clear();
        } else {
            part += utf8[i];
        }
    }
    return out;
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
