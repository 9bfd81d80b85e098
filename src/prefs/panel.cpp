#include "prefs/panel.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"
#include "common/text.h"
#include "common/value.h"
#include "link/net_device.h"

namespace marivent::prefs {

std::string step_caption(const Spinner& s, const std::string& caption, int direction) {
    // Steps from the number shown, brought back onto the spinner's grid and within its limits.
    const double shown = numeric_value(caption);
    long value = std::lround(std::clamp(shown, double(s.min), double(s.max)));
    const long offset = (value - s.min) % s.step;
    if (offset != 0) value -= offset; // 32 steps up to 35, down to 30
    if (offset == 0 || direction > 0) value += direction * s.step;
    value = std::clamp<long>(value, s.min, s.max);
    return integer_text(value);
}

std::string number_text(double value) {
    return general_text(value, 15);
}

SettingsToWrite apply_ok(const PanelCaptions& panel, Preferences& p) {
    p.intervalle = numeric_value(panel.command1);
    p.decalage = number_text(numeric_value(panel.command2));
    const int port = panel.port_line + 1;
    p.ozipath = panel.ozichange;
    p.cmappath = panel.cmapchange;
    p.port = port;
    p.all_talkers = panel.all_talkers;
    p.devices = panel.devices;
    p.pilot_words = panel.pilot;
    p.pilot = pilot_choice(panel.pilot);
    p.course_angle = panel.course_angle;
    p.command1 = panel.command1;
    p.command2 = panel.command2;
    return {panel.command1,    panel.command2, panel.ozichange, panel.cmapchange,  port,
            panel.all_talkers, panel.devices,  panel.pilot,     panel.course_angle};
}

Result<std::string> check_variation(std::string_view text) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return std::string();
    if (const Result<nmea::Variation> v = nmea::parse_variation(t); !v) return failure(v.why());
    return std::string(t);
}

Result<std::string> check_talker(std::string_view text) {
    std::string t(trimmed(text));
    for (char& c : t)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!nmea::valid_talker(t))
        return failure("l'émetteur « " + std::string(text) +
                       " » n'est pas deux lettres, par exemple AG ou GP");
    return t;
}

Result<int> check_course_angle(std::string_view text) {
    const std::string_view t = trimmed(text);
    if (const std::optional<int> angle = course_angle_value(t)) return *angle;
    const std::string wanted = "un nombre entier de degrés de 0 à 180 (0 : jamais)";
    if (t.empty()) return failure("donnez " + wanted);
    return failure("« " + std::string(t) + " » n'est pas " + wanted);
}

Result<std::string> check_device(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (text.size() > max_text_length) {
        std::size_t shown = 40; // its start, cut between two characters
        while ((static_cast<unsigned char>(text[shown]) & 0xC0) == 0x80)
            --shown;
        return failure("« " + std::string(text.substr(0, shown)) +
                       "… » dépasse les 126 octets que le fichier des préférences garde");
    }
    if (nmea::is_network(text))
        if (const Result<nmea::NetAddress> address = nmea::parse_net_address(text); !address)
            return failure(address.why());
    return std::string(text);
}

} // namespace marivent::prefs
