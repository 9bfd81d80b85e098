#include "transfer/cmap_route.h"
#include "common/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "common/format.h"
#include "common/text.h"
#include "transfer/field_numbers.h"

namespace marivent::transfer {

namespace {

// Stream version bytes, then the text "CMROUTE"; the route object's tag follows.
constexpr unsigned char signature_start[] = {58, 1, 1, 0, 0};
constexpr std::string_view signature_text = "CMROUTE";
constexpr std::string_view route_class = "TRoute";
constexpr std::string_view waypoint_class = "TWayPoint";
constexpr std::string_view leg_class = "TLeg";
constexpr char tag_start[] = {2, '['};
constexpr char object_end = ']';
constexpr unsigned char minus_one[] = {0, 0, 0,    0,
                                       0, 0, 0xF0, 0xBF}; // the double -1.0, little-endian
constexpr std::size_t coordinate_length = 10;
// A waypoint object is at least 64 bytes and a leg 55, which bounds the counts a file can hold.
constexpr std::size_t min_waypoint_size = 64;
constexpr std::size_t leg_size = 55;

// The file is written through a pointer into a buffer that grows by whole records.
class Out {
  public:
    explicit Out(std::size_t expected) : bytes_(expected, '\0') {}
    // Room for the next n bytes, to be written in full.
    char* room(std::size_t n) {
        if (bytes_.size() - used_ < n) bytes_.resize(std::max(2 * bytes_.size(), used_ + n));
        char* p = bytes_.data() + used_;
        used_ += n;
        return p;
    }
    std::string take() {
        bytes_.resize(used_);
        return std::move(bytes_);
    }

  private:
    std::string bytes_;
    std::size_t used_ = 0;
};

char* put_u32(char* o, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        *o++ = static_cast<char>((v >> (8 * i)) & 0xFF);
    return o;
}
char* put_bytes(char* o, const void* bytes, std::size_t n) {
    std::memcpy(o, bytes, n);
    return o + n;
}
char* put_text(char* o, std::string_view text) {
    return put_bytes(put_u32(o, static_cast<std::uint32_t>(text.size())), text.data(), text.size());
}
char* put_tag(char* o, std::string_view class_name) {
    return put_text(put_bytes(o, tag_start, 2), class_name);
}
constexpr std::size_t text_size(std::string_view text) {
    return 4 + text.size();
}
constexpr std::size_t tag_size(std::string_view class_name) {
    return 2 + text_size(class_name);
}

// coordinate_text at `out` (10 characters), for a value below 1000 in size whose minutes are not
// within reach of a rounding tie; false, with nothing useful written, for any other.
bool put_coordinate(char* out, double value, bool latitude) {
    const double a = std::fabs(value);
    if (!(a < 1000.0)) return false;
    const double degrees = std::floor(a);
    const double minutes = (a - degrees) * 60.0;
    char m[fixed_room];
    if (put_fixed(m, minutes, minutes_pattern) != 5) return false; // "MM.MM"
    std::memset(out, ' ', 4);
    put_digits_before(out + 3, static_cast<unsigned long>(degrees));
    std::memcpy(out + 4, m, 5);
    out[9] = latitude ? (value > 0 ? 'N' : 'S') : (value > 0 ? 'E' : 'W');
    return true;
}

// The degrees and minutes of a text of the form written here, "ddd mm.mmX" with the degrees
// blank-filled: the values field_value gives for its first 3 and its 5 characters from the 5th,
// the minutes as their 4 digits over 100. False for any other text.
bool coordinate_parts(std::string_view t, double& degrees, double& minutes) {
    if (t.size() != coordinate_length || t[3] != ' ' || t[6] != '.' || !is_digit(t[2]) ||
        !is_digit(t[4]) || !is_digit(t[5]) || !is_digit(t[7]) || !is_digit(t[8]))
        return false;
    int whole = t[2] - '0';
    if (t[1] != ' ') {
        if (!is_digit(t[1])) return false;
        whole += 10 * (t[1] - '0');
        if (t[0] != ' ') {
            if (!is_digit(t[0])) return false;
            whole += 100 * (t[0] - '0');
        }
    } else if (t[0] != ' ') {
        return false;
    }
    degrees = whole;
    minutes = ((t[4] - '0') * 1000 + (t[5] - '0') * 100 + (t[7] - '0') * 10 + (t[8] - '0')) / 100.0;
    return true;
}

// A coordinate text, in `fast` when put_coordinate can write it, else in `slow`.
std::string_view coordinate_into(char (&fast)[coordinate_length], std::string& slow, double value,
                                 bool latitude) {
    if (put_coordinate(fast, value, latitude)) return {fast, coordinate_length};
    slow = coordinate_text(value, latitude);
    return slow;
}

// Reads the stream front to back; every read is checked against the end.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    std::optional<std::string_view> take(std::size_t n) {
        if (n > bytes_.size() - pos_) return std::nullopt;
        const auto out = bytes_.substr(pos_, n);
        pos_ += n;
        return out;
    }
    std::optional<std::uint32_t> u32() {
        const auto b = take(4);
        if (!b) return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>((*b)[i]);
        return v;
    }
    std::optional<std::string_view> text() {
        const auto n = u32();
        if (!n) return std::nullopt;
        return take(*n);
    }
    // The tag 2, "[", and the class name; true when the name is the one expected.
    bool tag(std::string_view class_name) {
        const auto t = take(2);
        if (!t || (*t)[0] != tag_start[0] || (*t)[1] != tag_start[1]) return false;
        const auto name = text();
        return name && *name == class_name;
    }
    std::size_t left() const { return bytes_.size() - pos_; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

const std::string cut_short = "le fichier s'arrête avant la fin de la route";

// The route order given by the legs, as indices into the file order; empty with `warning` set
// when the legs do not make one path through every waypoint.
std::vector<std::size_t> follow_legs(std::size_t first, const std::vector<std::uint32_t>& starts,
                                     const std::vector<std::uint32_t>& ends, std::size_t n,
                                     std::string& warning) {
    std::vector<std::size_t> order;
    std::vector<bool> passed(n, false);
    std::size_t current = first;
    for (std::size_t p = 1; p <= n; ++p) {
        if (current >= n) {
            warning = "les segments de la route mènent à un waypoint qui n'existe pas";
            return {};
        }
        if (passed[current]) {
            warning = "les segments de la route reviennent sur un waypoint déjà passé";
            return {};
        }
        passed[current] = true;
        order.push_back(current);
        if (p == n) break;
        std::size_t k = 0;
        while (k < starts.size() && starts[k] != current)
            ++k;
        if (k == starts.size()) {
            warning = "aucun segment de la route ne part du waypoint " + integer_text(current);
            return {};
        }
        current = ends[k];
    }
    return order;
}

} // namespace

std::string coordinate_text(double value, bool latitude) {
    char fast[coordinate_length];
    if (put_coordinate(fast, value, latitude)) return std::string(fast, coordinate_length);
    const double a = std::fabs(value);
    const double degrees = std::floor(a);
    const double minutes = (a - degrees) * 60.0;
    std::string out = format_text(integer_text(static_cast<long long>(degrees)), "@@@");
    std::string m = format_text(format_number(minutes, "#00.00", '.'), "@@@@@@");
    m[3] = '.';
    out += m;
    out += latitude ? (value > 0 ? 'N' : 'S') : (value > 0 ? 'E' : 'W');
    return out;
}

double coordinate_value(std::string_view text) {
    const double sign = (!text.empty() && (text.back() == 'S' || text.back() == 'W')) ? -1.0 : 1.0;
    double d = 0;
    double m = 0;
    if (!coordinate_parts(text, d, m)) {
        d = field_value(text.substr(0, 3));
        m = text.size() > 4 ? field_value(text.substr(4, 5)) : 0.0;
    }
    return sign * (d + m / 60.0);
}

Result<std::string> cmap_route_file(std::string_view route_name, const WaypointTable& rows) {
    if (rows.empty()) return failure("la route n'a aucun waypoint");
    if (rows.size() > max_waypoints)
        return failure("la route a plus de " + integer_text(max_waypoints) + " waypoints");
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!on_the_globe(rows[i].latitude, rows[i].longitude))
            return failure("le waypoint " + integer_text(i + 1) +
                           " a des coordonnées hors du globe (latitude " +
                           format_number(rows[i].latitude, "0.######", '.') + ", longitude " +
                           format_number(rows[i].longitude, "0.######", '.') + ")");

    const auto n = static_cast<std::uint32_t>(rows.size());
    // The size of the file with 14-character names: a waypoint object is its tag, a version, three
    // texts (name, latitude, longitude) and three numbers.
    constexpr std::size_t waypoint_size =
        tag_size(waypoint_class) + 4 + 3 * 4 + name_width + 2 * coordinate_length + 3 * 4 + 1;
    Out out(64 + route_name.size() + rows.size() * waypoint_size + (rows.size() - 1) * leg_size);
    {
        char* o = out.room(sizeof signature_start + text_size(signature_text) +
                           tag_size(route_class) + 4 + text_size(route_name) + 4 * 4);
        o = put_bytes(o, signature_start, sizeof signature_start);
        o = put_text(o, signature_text);
        o = put_tag(o, route_class);
        o = put_u32(o, 1);
        o = put_text(o, route_name);
        o = put_u32(o, 2);
        o = put_u32(o, 0);     // index of the first waypoint
        o = put_u32(o, n - 1); // index of the last waypoint
        put_u32(o, n);         // number of waypoints
    }
    for (const auto& w : rows) {
        char lat_fast[coordinate_length], lon_fast[coordinate_length];
        std::string lat_slow, lon_slow;
        const std::string_view lat = coordinate_into(lat_fast, lat_slow, w.latitude, true);
        const std::string_view lon = coordinate_into(lon_fast, lon_slow, w.longitude, false);
        char* o = out.room(tag_size(waypoint_class) + 4 + text_size(w.name) + text_size(lat) +
                           text_size(lon) + 3 * 4 + 1);
        o = put_tag(o, waypoint_class);
        o = put_u32(o, 1);
        o = put_text(o, w.name);
        o = put_text(o, lat);
        o = put_text(o, lon);
        o = put_u32(o, 50);
        o = put_u32(o, 1);
        o = put_u32(o, 0);
        *o = object_end;
    }
    put_u32(out.room(4), n - 1); // number of legs
    // Every leg is the same but for its two waypoints.
    char leg[leg_size];
    {
        char* o = put_tag(leg, leg_class);
        for (std::uint32_t v : {1u, 0u, 500u, 5u, 0u, 1u})
            o = put_u32(o, v);
        o += 8; // start and end waypoints
        o = put_u32(o, 0);
        o = put_bytes(o, minus_one, sizeof minus_one);
        *o = object_end;
    }
    constexpr std::size_t leg_ends_at = tag_size(leg_class) + 6 * 4;
    for (std::uint32_t k = 1; k < n; ++k) {
        put_u32(leg + leg_ends_at, k - 1); // start waypoint
        put_u32(leg + leg_ends_at + 4, k); // end waypoint
        put_bytes(out.room(leg_size), leg, leg_size);
    }
    *out.room(1) = object_end; // end of the route object
    return out.take();
}

Result<CmapRead> read_cmap_route(std::string_view bytes) {
    Reader in(bytes);
    const auto start = in.take(sizeof signature_start);
    const auto sig = in.text();
    if (!start || !sig || *sig != signature_text || !in.tag(route_class))
        return failure("ce n'est pas un fichier de route C-Map ECS");
    CmapRead r;
    const auto version = in.u32();
    const auto name = version ? in.text() : std::nullopt;
    const auto fixed = name ? in.u32() : std::nullopt;
    const auto first = fixed ? in.u32() : std::nullopt;
    const auto last = first ? in.u32() : std::nullopt;
    const auto count = last ? in.u32() : std::nullopt;
    if (!count) return failure(cut_short);
    r.route_name = std::string(*name);
    const std::size_t n = *count;
    if (n > max_waypoints)
        return failure("la route a " + integer_text(n) + " waypoints, plus que les " +
                       integer_text(max_waypoints) + " qu'une conversion peut prendre");
    if (n > in.left() / min_waypoint_size) return failure(cut_short);

    r.waypoints.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) {
        // Named only when something is wrong with it.
        const auto where = [i] { return "waypoint " + integer_text(i); };
        if (in.left() == 0) return failure(cut_short);
        if (!in.tag(waypoint_class))
            return failure("le " + where() + " n'est pas un objet TWayPoint");
        const auto v = in.u32();
        const auto wname = v ? in.text() : std::nullopt;
        const auto lat = wname ? in.text() : std::nullopt;
        const auto lon = lat ? in.text() : std::nullopt;
        const auto tail = lon ? in.take(13) : std::nullopt;
        if (!tail) return failure(cut_short);
        if (lat->size() != coordinate_length || lon->size() != coordinate_length ||
            (*tail)[12] != object_end)
            return failure("le " + where() + " n'a pas la forme attendue");
        CmapWaypoint w{std::string(*wname), std::string(*lat), std::string(*lon),
                       coordinate_value(*lat), coordinate_value(*lon)};
        if (!on_the_globe(w.latitude, w.longitude))
            return failure("les coordonnées du " + where() + " (" + w.latitude_text + ", " +
                           w.longitude_text + ") sont hors du globe");
        r.waypoints.push_back(std::move(w));
    }
    if (n > 0) r.last_latitude_text = r.waypoints.back().latitude_text;

    // Route order from the legs, when the route is not stored in order.
    if (n > 0 && (*first > 0 || static_cast<std::int64_t>(n) - *last > 1)) {
        const auto legs = in.u32();
        if (!legs) return failure(cut_short);
        if (*legs > in.left() / leg_size) return failure(cut_short);
        std::vector<std::uint32_t> starts, ends;
        for (std::uint32_t k = 1; k <= *legs; ++k) {
            if (!in.tag(leg_class))
                return failure("le segment " + integer_text(k) + " n'est pas un objet TLeg");
            std::optional<std::uint32_t> v[9];
            for (auto& x : v)
                x = in.u32();
            const auto rest = in.take(9); // the double -1.0 and the end of the object
            if (!rest) return failure(cut_short);
            if ((*rest)[8] != object_end)
                return failure("le segment " + integer_text(k) + " n'a pas la forme attendue");
            starts.push_back(*v[6]);
            ends.push_back(*v[7]);
        }
        const auto order = follow_legs(*first, starts, ends, n, r.warning);
        if (!order.empty()) {
            std::vector<CmapWaypoint> sorted;
            sorted.reserve(n);
            for (std::size_t i : order)
                sorted.push_back(r.waypoints[i]);
            r.waypoints = std::move(sorted);
        } else {
            r.warning += " : les waypoints restent dans l'ordre du fichier";
        }
    }

    r.waypoint_lines.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& w = r.waypoints[i];
        r.waypoint_lines.push_back(build_waypoint_line(
            static_cast<int>(i + 1), w.name, degrees_text(w.latitude), degrees_text(w.longitude)));
    }
    return r;
}

} // namespace marivent::transfer
