#include "nmea/decoder.h"

#include <algorithm>
#include <cmath>

#include "common/format.h"
#include "common/number_text.h"
#include "common/text.h"
#include "common/value.h"
#include "nmea/apa_sentence.h"
#include "nmea/checksum.h"
#include "nmea/field_reader.h"

namespace marivent::nmea {

namespace {

bool two_digits(std::string_view s, std::size_t at, int& value) {
    if (s.size() < at + 2) return false;
    const char a = s[at], b = s[at + 1];
    if (!is_digit(a) || !is_digit(b)) return false;
    value = (a - '0') * 10 + (b - '0');
    return true;
}

// The whole number of degrees below a course, as text.
std::string whole_degrees(double value) {
    const double whole = std::floor(value);
    return std::fabs(whole) < 1e15 ? fixed_text(whole, 0) : general_text(whole, 6);
}

// A field as GPS receivers write speeds and courses: 1 to 9 digits, then optionally "." and 0
// to 6 digits, nothing else. Such a text has at most 15 significant digits, so it is exactly the
// decimal text the general path would round from, and its whole part is the floor of its value.
struct PlainDecimal {
    std::string_view whole;    // the digits before the point, leading zeros included
    std::string_view fraction; // the digits after it
};
std::optional<PlainDecimal> plain_decimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_digit(text[i]))
        ++i;
    if (i == 0 || i > 9) return std::nullopt;
    PlainDecimal d{text.substr(0, i), {}};
    if (i == text.size()) return d;
    if (text[i] != '.') return std::nullopt;
    const std::size_t start = ++i;
    while (i < text.size() && is_digit(text[i]))
        ++i;
    if (i != text.size() || i - start > 6) return std::nullopt;
    d.fraction = text.substr(start);
    return d;
}

long long digits_value(std::string_view digits) {
    long long v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

// Whole digits without their leading zeros, "0" when all are.
std::string_view without_leading_zeros(std::string_view digits) {
    std::size_t i = 0;
    while (i + 1 < digits.size() && digits[i] == '0')
        ++i;
    return digits.substr(i);
}

// The course shown: whole degrees, as whole_degrees(numeric_value(text)) gives them.
std::string course_degrees(std::string_view text) {
    if (const auto d = plain_decimal(text)) return std::string(without_leading_zeros(d->whole));
    return whole_degrees(numeric_value(text));
}

// The speed shown, "###.#": as format_number(numeric_value(text), "###.#", separator) gives it.
// Plain decimals are rounded half up to tenths on their digits: the value has no sign, so this is
// the pattern's rounding half away from zero.
std::string speed_shown(std::string_view text, char separator) {
    const auto d = plain_decimal(text);
    if (!d) return format_number(numeric_value(text), "###.#", separator);
    if (d->fraction.size() <= 1) { // nothing to round: the digits as they stand
        const std::string_view whole = without_leading_zeros(d->whole);
        std::string out(whole == "0" ? std::string_view{} : whole);
        out += separator;
        if (!d->fraction.empty() && d->fraction[0] != '0') out += d->fraction[0];
        return out;
    }
    long long tenths = digits_value(d->whole) * 10;
    if (!d->fraction.empty()) {
        long long scale = 1; // 10^(decimals - 1)
        for (std::size_t k = 1; k < d->fraction.size(); ++k)
            scale *= 10;
        tenths += (digits_value(d->fraction) + scale / 2) / scale;
    }
    std::string out = tenths >= 10 ? integer_text(tenths / 10) : std::string();
    out += separator;
    if (tenths % 10 != 0) out += static_cast<char>('0' + tenths % 10);
    return out;
}

} // namespace

bool taken_as_gp(std::string_view talker, std::string_view type, bool all_talkers) {
    if (talker == "GP") return true;
    if (!all_talkers || talker.size() != 2 || talker == "PG") return false;
    if (type == "RMB") return true;
    for (std::string_view gnss : {"GN", "GA", "GL", "GB", "BD", "GQ", "GI"})
        if (talker == gnss) return true;
    return false;
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

namespace {

// Whether a line that passed `line_fault` carries a checksum: its "*" is then the third last
// character.
bool has_checksum(std::string_view line) {
    return line.size() >= 3 && line[line.size() - 3] == '*';
}

// Whether a line is an RMA, RMB or RMC of any talker (a proprietary sentence, "$P...", is not).
bool steers(std::string_view line) {
    if (line.size() < 7 || line[1] != '$' || line[2] == 'P') return false;
    const std::string_view type = line.substr(4, 3);
    return type == "RMA" || type == "RMB" || type == "RMC";
}

} // namespace

DecodeResult decodenmea(Navigation& nav, const DecodeContext& context) {
    DecodeResult result;
    const std::string_view line = nav.trame;
    Display& display = context.display;

    // 1. Show the line; 2. acceptance.
    display.set_text(Box::Text2, line);
    result.fault = nav.ligne_perdue ? LineFault::input_lost : line_fault(line);
    nav.ligne_perdue = false;
    if (result.fault == LineFault::none && !has_checksum(line) && steers(line))
        result.fault = LineFault::no_checksum;
    if (result.fault != LineFault::none) {
        ++nav.rejetees;
        nav.trame.clear();
        return result;
    }
    const std::string_view talker = line.size() >= 4 ? line.substr(2, 2) : std::string_view{};
    const std::string_view type = line.size() >= 7  ? line.substr(4, 3)
                                  : line.size() > 4 ? line.substr(4)
                                                    : std::string_view{};
    const bool gp = taken_as_gp(talker, type, context.all_talkers);
    if (line.size() < 4 || line[1] != '$' || (!gp && talker != "PG")) {
        result.other_talker_fix =
            line.size() >= 7 && line[1] == '$' && (type == "GGA" || type == "RMC" || type == "RMB");
        nav.trame.clear();
        return result;
    }
    result.accepted = true;
    result.fix = gp && (type == "GGA" || type == "RMC");
    result.route = gp && type == "RMB";

    // 3. Address and remainder (a line of fewer than 8 characters has no fields).
    SentenceFields f(line, line.size() > 8 ? 8 : line.size());
    std::string_view speed_text, course_text;
    bool rmb_whole = false; // an RMB that reached its field 13: none of its fields given again

    // 4.-5. The sentences of the talker GP.
    if (gp) {
        if (type == "GGA") {
            store_field(nav.heuretu, f.next());
            store_field(nav.latitude, f.next());
            store_field(nav.hemlat, f.next());
            store_field(nav.longitude, f.next());
            store_field(nav.hemlon, f.next());
        } else if (type == "RMC") {
            store_field(nav.heuretu, f.next());
            for (int i = 2; i <= 6; ++i)
                f.next();
            speed_text = f.next();
            course_text = f.next();
            f.next(); // the date
            store_field(nav.declinaison, f.following());
            f.next();
            store_field(nav.sensdecl, f.following());
        } else if (type == "RMB") {
            const std::string_view status = f.next();
            store_field(nav.statutrmb, status);
            if (status == "V") {
                display.set_speed_colour(colour_invalid);
                nav.gpsmauvais = 1;
            } else {
                display.set_speed_colour(colour_valid);
                nav.gpsmauvais = 0;
            }
            store_field(nav.ecartroute, f.next());
            store_field(nav.sensecart, f.next());
            display.set_text(Box::heur, nav.ecartroute + nav.sensecart);
            store_field(nav.wptdepart, f.next());
            store_field(nav.wptarrivee, f.next());
            store_field(nav.latwpt, f.next());
            store_field(nav.hemlatwpt, f.next());
            store_field(nav.lonwpt, f.next());
            store_field(nav.hemlonwpt, f.next());
            store_field(nav.distwpt, f.next());
            store_field(nav.capwpt, f.next());
            store_field(nav.vmgwpt, f.next());
            rmb_whole = f.cut();
            store_field(nav.arriveewpt, f.following());
        }
        // BOD: fields 1 to 5 are cut and nothing is kept; every other type: nothing.
    }

    // 6. The clock, once per run, from the first time of day received.
    if (nav.miseheure != 0 && !nav.heuretu.empty()) {
        if (const std::optional<TimeOfDay> t = clock_time(nav.heuretu, context.decalage)) {
            if (context.clock) {
                const Status set = context.clock->set_time_of_day(t->hour, t->minute, t->second);
                if (!set) result.clock_refused = set.why();
            }
            nav.miseheure = 0;
        }
    }

    // 7. While the route data is valid: the display and the autopilot sentence.
    if (nav.gpsmauvais == 0) {
        result.refreshed = true;
        if (!course_text.empty()) {
            nav.capfond = course_degrees(course_text);
            result.course = numeric_value(course_text);
        }
        if (!speed_text.empty()) {
            nav.vitesse = speed_shown(speed_text, context.decimal_separator);
            result.speed = numeric_value(speed_text);
        }
        display.set_text(Box::vi, nav.vitesse);
        display.set_text(Box::cap, nav.capfond);
        display.set_text(Box::wcap, nav.capwpt);
        display.set_text(Box::wdist, nav.distwpt);
        display.set_text(Box::Wpt1, nav.wptdepart);
        display.set_text(Box::wpt2, nav.wptarrivee);
        display.set_text(Box::vmg, nav.vmgwpt);
        display.set_text(Box::lat, nav.latitude);
        display.set_text(Box::longit, nav.longitude);
        if (!context.pilot || context.pilot->kind == PilotKind::apa) {
            result.apa =
                nav.apa.sentence(nav.ecartroute, nav.sensecart, nav.capwpt, nav.wptarrivee);
            if (context.pilot && context.pilot->talker != "AG") {
                nav.pilote = with_talker(result.apa, context.pilot->talker);
                result.apa = nav.pilote;
            }
            display.set_text(Box::otopil, result.apa);
        } else if (result.route && rmb_whole && nav.statutrmb == "A") {
            // Once per RMB: the set is built from this RMB only, never from older fields, nor
            // from a short RMB, whose missing fields repeat its last one (a waypoint name would
            // go out as the bearing).
            PilotSet set = pilot_set(nav, *context.pilot);
            nav.pilote = std::move(set.sentences);
            result.apa = nav.pilote;
            result.pilot_refused = std::move(set.refused);
            if (!nav.pilote.empty()) display.set_text(Box::otopil, nav.pilote);
        }
    }

    // 8.
    nav.trame.clear();
    return result;
}

std::optional<DecodeResult> receive_char(Navigation& nav, char c, const DecodeContext& context) {
    if (c == '\r') return decodenmea(nav, context);
    if (c == '\n' && nav.ligne_perdue) {
        // The start of the next line: the lost one ends here, without its carriage return.
        std::optional<DecodeResult> lost;
        if (nav.trame.empty() || nav.trame == "\n")
            nav.ligne_perdue = false;
        else
            lost = decodenmea(nav, context);
        nav.trame = '\n';
        return lost;
    }
    if (nav.trame.size() >= trame_limit) {
        nav.trame.erase(0, trame_limit / 2);
        nav.ligne_perdue = true;
    }
    nav.trame += c;
    return std::nullopt;
}

void append_to_line(Navigation& nav, std::string_view run) {
    while (!run.empty()) {
        if (nav.trame.size() >= trame_limit) {
            nav.trame.erase(0, trame_limit / 2);
            nav.ligne_perdue = true;
        }
        const std::size_t take = std::min(run.size(), trame_limit - nav.trame.size());
        nav.trame.append(run.data(), take);
        run.remove_prefix(take);
    }
}

bool drop_line(Navigation& nav) {
    const bool counted = !nav.trame.empty() && nav.trame != "\n";
    if (counted) ++nav.rejetees;
    nav.trame.clear();
    nav.ligne_perdue = false;
    return counted;
}

} // namespace marivent::nmea
