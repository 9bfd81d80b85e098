#include "nmea/pilot_sentences.h"

#include "common/number_text.h"
#include "common/text.h"
#include "nmea/checksum.h"

namespace marivent::nmea {

namespace {

// Degrees as digits: up to 3 whole digits and 6 decimals, `separators` the decimal points
// allowed. Exact, in units of 10^-decimals.
struct Degrees {
    long long units = 0;
    int decimals = 0;
    int whole_digits = 0;
};
std::optional<Degrees> degrees(std::string_view text, std::string_view separators) {
    Degrees d;
    std::size_t i = 0;
    for (; i < text.size() && is_digit(text[i]); ++i) {
        if (++d.whole_digits > 3) return std::nullopt;
        d.units = d.units * 10 + (text[i] - '0');
    }
    if (d.whole_digits == 0) return std::nullopt;
    if (i < text.size()) {
        if (separators.find(text[i]) == std::string_view::npos) return std::nullopt;
        for (++i; i < text.size(); ++i) {
            if (!is_digit(text[i]) || ++d.decimals > 6) return std::nullopt;
            d.units = d.units * 10 + (text[i] - '0');
        }
    }
    return d;
}

long long power10(int n) {
    long long p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

bool plain_number(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_digit(text[i]))
        ++i;
    if (i == 0) return false;
    if (i == text.size()) return true;
    if (text[i] != '.') return false;
    for (++i; i < text.size(); ++i)
        if (!is_digit(text[i])) return false;
    return true;
}

// The cross-track error and the direction to steer, empty when they are not one.
std::string_view xte_of(const Navigation& n) {
    return plain_number(n.ecartroute) ? std::string_view(n.ecartroute) : std::string_view{};
}
std::string_view steer_of(const Navigation& n) {
    return n.sensecart == "L" || n.sensecart == "R" ? std::string_view(n.sensecart)
                                                    : std::string_view{};
}
std::string_view status_of(std::string_view f) {
    return f == "A" || f == "V" ? f : std::string_view{};
}

// "$" + body + "*hh" CR LF.
std::string sentence(std::string body) {
    const unsigned char sum = checksum_of(body);
    std::string s = "$" + body + "*00\r\n";
    put_checksum(s.data() + s.size() - 4, sum);
    return s;
}

} // namespace

Result<Variation> parse_variation(std::string_view text) {
    const std::string_view t = trimmed(text);
    const std::string said = "déclinaison « " + std::string(text) + " »";
    if (t.empty()) return failure("déclinaison vide : écrire par exemple 2,5W ou 1.5E");
    if (t.front() == '-' || t.front() == '+')
        return failure(said + " : pas de signe, le sens s'écrit E (est) ou W (ouest), par "
                              "exemple 2,5W");
    const char side = t.back();
    const bool east = side == 'E' || side == 'e';
    const bool west = side == 'W' || side == 'w' || side == 'O' || side == 'o';
    if (!east && !west)
        return failure(said + " : le sens E (est) ou W (ouest) manque, par exemple 2,5W");
    const auto d = degrees(trimmed(t.substr(0, t.size() - 1)), ".,");
    if (!d) return failure(said + " illisible : des degrés puis E ou W, par exemple 2,5W");
    if (d->units > 180 * power10(d->decimals)) return failure(said + " : plus de 180 degrés");
    return Variation{east ? d->units : -d->units, d->decimals};
}

std::optional<Variation> rmc_variation(std::string_view value, std::string_view east_west) {
    if (east_west != "E" && east_west != "W") return std::nullopt;
    const auto d = degrees(value, ".");
    if (!d || d->units > 180 * power10(d->decimals)) return std::nullopt;
    return Variation{east_west == "E" ? d->units : -d->units, d->decimals};
}

std::optional<PilotKind> pilot_kind_named(std::string_view name) {
    for (PilotKind k : {PilotKind::apa, PilotKind::apb, PilotKind::apb_rmb_xte})
        if (name == pilot_kind_name(k)) return k;
    return std::nullopt;
}

std::string_view pilot_kind_name(PilotKind kind) {
    switch (kind) {
    case PilotKind::apb:
        return "apb";
    case PilotKind::apb_rmb_xte:
        return "apb+rmb+xte";
    case PilotKind::apa:
        break;
    }
    return "apa";
}

std::string pilot_choice_text(const PilotChoice& choice) {
    std::string text = choice.kind == PilotKind::apb_rmb_xte ? "APB + RMB + XTE"
                       : choice.kind == PilotKind::apb       ? "APB"
                                                             : "APA";
    text += choice.reference == BearingReference::magnetic ? ", magnétique" : ", vrai";
    if (choice.talker != "AG") text += ", émetteur " + choice.talker;
    return text;
}

std::string with_talker(std::string_view whole, std::string_view talker) {
    std::string s(whole);
    if (s.size() < 8 || talker.size() != 2 || s[s.size() - 5] != '*') return s;
    s[1] = talker[0];
    s[2] = talker[1];
    put_checksum(s.data() + s.size() - 4, checksum_of(std::string_view(s).substr(1, s.size() - 6)));
    return s;
}

bool valid_talker(std::string_view talker) {
    return talker.size() == 2 && talker[0] >= 'A' && talker[0] <= 'Z' && talker[1] >= 'A' &&
           talker[1] <= 'Z';
}

Result<std::string> bearing_field(std::string_view received, BearingReference reference,
                                  const std::optional<Variation>& variation) {
    if (reference == BearingReference::magnetic && !variation)
        return failure(std::string(no_variation));
    const auto b = degrees(received, ".");
    if (!b || b->units > 360 * power10(b->decimals)) return std::string();
    if (reference == BearingReference::true_north && b->units < 360 * power10(b->decimals))
        return std::string(received);
    const Variation v = reference == BearingReference::magnetic ? *variation : Variation{};
    // In units of 10^-k, k the larger count of decimals, then rounded half up to the bearing's.
    const int k = b->decimals > v.decimals ? b->decimals : v.decimals;
    const long long turn = 360 * power10(k);
    long long m = b->units * power10(k - b->decimals) - v.east * power10(k - v.decimals);
    m %= turn;
    if (m < 0) m += turn;
    const long long step = power10(k - b->decimals);
    m = (m + step / 2) / step % (360 * power10(b->decimals));
    const long long unit = power10(b->decimals);
    std::string whole = integer_text(m / unit);
    if (static_cast<int>(whole.size()) < b->whole_digits)
        whole.insert(0, static_cast<std::size_t>(b->whole_digits) - whole.size(), '0');
    if (b->decimals == 0) return whole;
    std::string fraction = integer_text(m % unit);
    fraction.insert(0, static_cast<std::size_t>(b->decimals) - fraction.size(), '0');
    return whole + "." + fraction;
}

Result<std::string> apb_sentence(const Navigation& n, std::string_view talker,
                                 BearingReference reference,
                                 const std::optional<Variation>& variation) {
    const Result<std::string> bearing = bearing_field(n.capwpt, reference, variation);
    if (!bearing) return failure(bearing.why());
    std::string letter;
    if (!bearing->empty()) letter = reference == BearingReference::magnetic ? "M" : "T";
    const std::string with_letter = *bearing + "," + letter;
    return sentence(std::string(talker) + "APB,A,A," + std::string(xte_of(n)) + "," +
                    std::string(steer_of(n)) + ",N," + std::string(status_of(n.arriveewpt)) +
                    ",,,," + n.wptarrivee + "," + with_letter + "," + with_letter);
}

std::string rmb_sentence(const Navigation& n, std::string_view talker) {
    const Result<std::string> bearing =
        bearing_field(n.capwpt, BearingReference::true_north, std::nullopt);
    return sentence(std::string(talker) + "RMB,A," + std::string(xte_of(n)) + "," +
                    std::string(steer_of(n)) + "," + n.wptdepart + "," + n.wptarrivee + "," +
                    n.latwpt + "," + n.hemlatwpt + "," + n.lonwpt + "," + n.hemlonwpt + "," +
                    n.distwpt + "," + *bearing + "," + n.vmgwpt + "," +
                    std::string(status_of(n.arriveewpt)));
}

std::string xte_sentence(const Navigation& n, std::string_view talker) {
    return sentence(std::string(talker) + "XTE,A,A," + std::string(xte_of(n)) + "," +
                    std::string(steer_of(n)) + ",N");
}

PilotSet pilot_set(const Navigation& nav, const PilotChoice& choice) {
    PilotSet set;
    std::optional<Variation> variation = rmc_variation(nav.declinaison, nav.sensdecl);
    if (!variation) variation = choice.user_variation;
    const bool set_of_three = choice.kind == PilotKind::apb_rmb_xte;
    if (const Result<std::string> apb =
            apb_sentence(nav, choice.talker, choice.reference, variation)) {
        set.sentences = *apb;
        if (set_of_three) set.sentences += rmb_sentence(nav, choice.talker);
    } else {
        // Magnetic without a variation: no bearing goes out, the RMB's true one neither, as the
        // pilot was set for magnetic; the cross-track error still does.
        set.refused =
            (set_of_three ? "APB et RMB non envoyées : " : "APB non envoyée : ") + apb.why();
    }
    if (set_of_three) set.sentences += xte_sentence(nav, choice.talker);
    return set;
}

} // namespace marivent::nmea
