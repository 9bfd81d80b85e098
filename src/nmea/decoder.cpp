#include "nmea/decoder.h"

#include <cmath>

#include "common/format.h"
#include "common/number_text.h"
#include "common/value.h"
#include "nmea/apa_sentence.h"

namespace marivent::nmea {

void champsuivant(std::string_view& reste, std::string_view& champ) {
    const std::size_t p = reste.find(',');
    if (p == std::string_view::npos) return;
    champ = reste.substr(0, p);
    reste.remove_prefix(p + 1);
}

namespace {

// Cuts fields 1 to n and keeps the last, as the decoder's one field variable does.
struct Fields {
    std::string_view reste;
    std::string_view champ;
    std::string_view next() {
        champsuivant(reste, champ);
        return champ;
    }
};

bool two_digits(std::string_view s, std::size_t at, int& value) {
    if (s.size() < at + 2) return false;
    const char a = s[at], b = s[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return false;
    value = (a - '0') * 10 + (b - '0');
    return true;
}

// The whole number of degrees below a course, as text.
std::string whole_degrees(double value) {
    const double whole = std::floor(value);
    return std::fabs(whole) < 1e15 ? fixed_text(whole, 0) : general_text(whole, 6);
}

} // namespace

LineFault line_fault(std::string_view line) {
    const std::size_t start = !line.empty() && line[0] == '\n' ? 1 : 0;
    std::size_t star = std::string_view::npos;
    int stars = 0;
    unsigned char sum = 0;
    for (std::size_t i = start; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F) return LineFault::control_character;
        if (i >= 2 && (c == '$' || c == '!')) return LineFault::joined;
        if (c == '*') {
            ++stars;
            star = i;
        } else if (stars == 0 && i > start) {
            sum ^= c; // the characters between the start character and the "*"
        }
    }
    if (stars == 0) return LineFault::none;
    if (stars > 1 || line.size() - star != 3) return LineFault::checksum;
    auto hex = [](char h) -> int {
        if (h >= '0' && h <= '9') return h - '0';
        if (h >= 'A' && h <= 'F') return h - 'A' + 10;
        if (h >= 'a' && h <= 'f') return h - 'a' + 10;
        return -1;
    };
    const int high = hex(line[star + 1]), low = hex(line[star + 2]);
    if (high < 0 || low < 0 || high * 16 + low != sum) return LineFault::checksum;
    return LineFault::none;
}

bool taken_as_gp(std::string_view talker, std::string_view type, bool all_talkers) {
    if (talker == "GP") return true;
    if (!all_talkers || talker.size() != 2 || talker == "PG") return false;
    if (type == "RMB") return true;
    for (std::string_view gnss : {"GN", "GA", "GL", "GB", "BD", "GQ", "GI"})
        if (talker == gnss) return true;
    return false;
}

std::string_view fault_text(LineFault fault) {
    switch (fault) {
    case LineFault::control_character: return "caractère de contrôle";
    case LineFault::joined: return "deux phrases mêlées";
    case LineFault::checksum: return "somme de contrôle fausse";
    case LineFault::none: break;
    }
    return "";
}

std::optional<TimeOfDay> clock_time(std::string_view heuretu, std::string_view decalage) {
    int minute = 0, second = 0;
    if (!two_digits(heuretu, 2, minute) || !two_digits(heuretu, 4, second)) return std::nullopt;
    if (minute > 59 || second > 59) return std::nullopt;
    const double hours = numeric_value(decalage) + numeric_value(heuretu.substr(0, 2));
    if (!(std::fabs(hours) < 1e6)) return std::nullopt;
    long minutes = std::lround(hours * 60) + minute;
    minutes %= 24 * 60;
    if (minutes < 0) minutes += 24 * 60;
    return TimeOfDay{static_cast<int>(minutes / 60), static_cast<int>(minutes % 60), second};
}

DecodeResult decodenmea(Navigation& nav, const DecodeContext& context) {
    DecodeResult result;
    const std::string_view line = nav.trame;
    Display& display = context.display;

    // 1. Show the line; 2. acceptance.
    display.set_text("Text2", line);
    result.fault = line_fault(line);
    if (result.fault != LineFault::none) {
        ++nav.rejetees;
        nav.trame.clear();
        return result;
    }
    const std::string_view talker = line.size() >= 4 ? line.substr(2, 2) : std::string_view{};
    const std::string_view type =
        line.size() >= 7 ? line.substr(4, 3) : line.size() > 4 ? line.substr(4) : std::string_view{};
    const bool gp = taken_as_gp(talker, type, context.all_talkers);
    if (line.size() < 4 || line[1] != '$' || (!gp && talker != "PG")) {
        result.other_talker_fix = line.size() >= 7 && line[1] == '$' &&
                                  (type == "GGA" || type == "RMC" || type == "RMB");
        nav.trame.clear();
        return result;
    }
    result.accepted = true;

    // 3. Address and remainder (a line of fewer than 8 characters has no fields).
    Fields f{line.size() > 8 ? line.substr(8) : std::string_view{}, {}};
    std::string_view speed_text, course_text;

    // 4.-5. The sentences of the talker GP.
    if (gp) {
        if (type == "GGA") {
            nav.heuretu = f.next();
            nav.latitude = f.next();
            nav.hemlat = f.next();
            nav.longitude = f.next();
            nav.hemlon = f.next();
        } else if (type == "RMC") {
            nav.heuretu = f.next();
            for (int i = 2; i <= 6; ++i) f.next();
            speed_text = f.next();
            course_text = f.next();
        } else if (type == "RMB") {
            if (f.next() == "V") {
                display.set_speed_colour(colour_invalid);
                nav.gpsmauvais = 1;
            } else {
                display.set_speed_colour(colour_valid);
                nav.gpsmauvais = 0;
            }
            nav.ecartroute = f.next();
            nav.sensecart = f.next();
            display.set_text("heur", nav.ecartroute + nav.sensecart);
            nav.wptdepart = f.next();
            nav.wptarrivee = f.next();
            for (int i = 6; i <= 9; ++i) f.next();
            nav.distwpt = f.next();
            nav.capwpt = f.next();
            nav.vmgwpt = f.next();
        }
        // BOD: fields 1 to 5 are cut and nothing is kept; every other type: nothing.
    }

    // 6. The clock, once per run, from the first time of day received.
    if (nav.miseheure != 0 && !nav.heuretu.empty()) {
        if (const std::optional<TimeOfDay> t = clock_time(nav.heuretu, context.decalage)) {
            std::string why;
            if (context.clock && !context.clock->set_time_of_day(t->hour, t->minute, t->second, why))
                result.clock_refused = why;
            nav.miseheure = 0;
        }
    }

    // 7. While the route data is valid: the display and the autopilot sentence.
    if (nav.gpsmauvais == 0) {
        if (!course_text.empty()) nav.capfond = whole_degrees(numeric_value(course_text));
        if (!speed_text.empty())
            nav.vitesse = format_number(numeric_value(speed_text), "###.#", context.decimal_separator);
        display.set_text("vi", nav.vitesse);
        display.set_text("cap", nav.capfond);
        display.set_text("wcap", nav.capwpt);
        display.set_text("wdist", nav.distwpt);
        display.set_text("Wpt1", nav.wptdepart);
        display.set_text("wpt2", nav.wptarrivee);
        display.set_text("vmg", nav.vmgwpt);
        display.set_text("lat", nav.latitude);
        display.set_text("longit", nav.longitude);
        result.apa = apa_sentence(nav.ecartroute, nav.sensecart, nav.capwpt, nav.wptarrivee);
        display.set_text("otopil", result.apa);
    }

    // 8.
    nav.trame.clear();
    return result;
}

std::optional<DecodeResult> receive_char(Navigation& nav, char c, const DecodeContext& context) {
    if (c == '\r') return decodenmea(nav, context);
    if (nav.trame.size() >= trame_limit) nav.trame.erase(0, trame_limit / 2);
    nav.trame += c;
    return std::nullopt;
}

} // namespace marivent::nmea
