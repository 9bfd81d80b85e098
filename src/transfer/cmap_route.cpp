#include "common/number_text.h"
#include "transfer/cmap_route.h"

#include <cmath>
#include <optional>

#include "common/format.h"
#include "common/value.h"

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
constexpr unsigned char minus_one[] = {0, 0, 0, 0, 0, 0, 0xF0, 0xBF}; // the double -1.0, little-endian
constexpr std::size_t coordinate_length = 10;
// A waypoint object is at least 64 bytes and a leg 55, which bounds the counts a file can hold.
constexpr std::size_t min_waypoint_size = 64;
constexpr std::size_t leg_size = 55;

void put_u32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put_text(std::string& out, std::string_view text) {
    put_u32(out, static_cast<std::uint32_t>(text.size()));
    out += text;
}
void put_tag(std::string& out, std::string_view class_name) {
    out.append(tag_start, 2);
    put_text(out, class_name);
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
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>((*b)[i]);
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

CmapRead failed(std::string why) {
    CmapRead r;
    r.error = std::move(why);
    return r;
}

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
        while (k < starts.size() && starts[k] != current) ++k;
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
    const double d = numeric_value(text.substr(0, 3));
    const double m = text.size() > 4 ? numeric_value(text.substr(4, 5)) : 0.0;
    return sign * (d + m / 60.0);
}

CmapWrite cmap_route_file(std::string_view route_name, const WaypointTable& rows) {
    if (rows.empty()) return {{}, "la route n'a aucun waypoint"};
    if (rows.size() > max_waypoints)
        return {{}, "la route a plus de " + integer_text(max_waypoints) + " waypoints"};
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!on_the_globe(rows[i].latitude, rows[i].longitude))
            return {{}, "le waypoint " + integer_text(i + 1) +
                            " a des coordonnées hors du globe (latitude " +
                            format_number(rows[i].latitude, "0.######", '.') + ", longitude " +
                            format_number(rows[i].longitude, "0.######", '.') + ")"};

    const auto n = static_cast<std::uint32_t>(rows.size());
    std::string out;
    out.reserve(64 + route_name.size() + rows.size() * (64 + name_width + 55));
    out.append(reinterpret_cast<const char*>(signature_start), sizeof signature_start);
    put_text(out, signature_text);
    put_tag(out, route_class);
    put_u32(out, 1);
    put_text(out, route_name);
    put_u32(out, 2);
    put_u32(out, 0);     // index of the first waypoint
    put_u32(out, n - 1); // index of the last waypoint
    put_u32(out, n);     // number of waypoints
    for (const auto& w : rows) {
        put_tag(out, waypoint_class);
        put_u32(out, 1);
        put_text(out, w.name);
        put_text(out, coordinate_text(w.latitude, true));
        put_text(out, coordinate_text(w.longitude, false));
        put_u32(out, 50);
        put_u32(out, 1);
        put_u32(out, 0);
        out += object_end;
    }
    put_u32(out, n - 1); // number of legs
    for (std::uint32_t k = 1; k < n; ++k) {
        put_tag(out, leg_class);
        for (std::uint32_t v : {1u, 0u, 500u, 5u, 0u, 1u}) put_u32(out, v);
        put_u32(out, k - 1); // start waypoint
        put_u32(out, k);     // end waypoint
        put_u32(out, 0);
        out.append(reinterpret_cast<const char*>(minus_one), sizeof minus_one);
        out += object_end;
    }
    out += object_end; // end of the route object
    return {std::move(out), {}};
}

CmapRead read_cmap_route(std::string_view bytes) {
    Reader in(bytes);
    const auto start = in.take(sizeof signature_start);
    const auto sig = in.text();
    if (!start || !sig || *sig != signature_text || !in.tag(route_class))
        return failed("ce n'est pas un fichier de route C-Map ECS");
    CmapRead r;
    const auto version = in.u32();
    const auto name = version ? in.text() : std::nullopt;
    const auto fixed = name ? in.u32() : std::nullopt;
    const auto first = fixed ? in.u32() : std::nullopt;
    const auto last = first ? in.u32() : std::nullopt;
    const auto count = last ? in.u32() : std::nullopt;
    if (!count) return failed(cut_short);
    r.route_name = std::string(*name);
    const std::size_t n = *count;
    if (n > max_waypoints)
        return failed("la route a " + integer_text(n) + " waypoints, plus que les " +
                      integer_text(max_waypoints) + " qu'une conversion peut prendre");
    if (n > in.left() / min_waypoint_size) return failed(cut_short);

    r.waypoints.reserve(n);
    for (std::size_t i = 1; i <= n; ++i) {
        const std::string where = "waypoint " + integer_text(i);
        if (in.left() == 0) return failed(cut_short);
        if (!in.tag(waypoint_class))
            return failed("le " + where + " n'est pas un objet TWayPoint");
        const auto v = in.u32();
        const auto wname = v ? in.text() : std::nullopt;
        const auto lat = wname ? in.text() : std::nullopt;
        const auto lon = lat ? in.text() : std::nullopt;
        const auto tail = lon ? in.take(13) : std::nullopt;
        if (!tail) return failed(cut_short);
        if (lat->size() != coordinate_length || lon->size() != coordinate_length ||
            (*tail)[12] != object_end)
            return failed("le " + where + " n'a pas la forme attendue");
        CmapWaypoint w{std::string(*wname), std::string(*lat), std::string(*lon),
                       coordinate_value(*lat), coordinate_value(*lon)};
        if (!on_the_globe(w.latitude, w.longitude))
            return failed("les coordonnées du " + where + " (" + w.latitude_text + ", " +
                          w.longitude_text + ") sont hors du globe");
        r.waypoints.push_back(std::move(w));
    }
    if (n > 0) r.last_latitude_text = r.waypoints.back().latitude_text;

    // Route order from the legs, when the route is not stored in order.
    if (n > 0 && (*first > 0 || static_cast<std::int64_t>(n) - *last > 1)) {
        const auto legs = in.u32();
        if (!legs) return failed(cut_short);
        if (*legs > in.left() / leg_size) return failed(cut_short);
        std::vector<std::uint32_t> starts, ends;
        for (std::uint32_t k = 1; k <= *legs; ++k) {
            if (!in.tag(leg_class))
                return failed("le segment " + integer_text(k) + " n'est pas un objet TLeg");
            std::optional<std::uint32_t> v[9];
            for (auto& x : v) x = in.u32();
            const auto rest = in.take(9); // the double -1.0 and the end of the object
            if (!rest) return failed(cut_short);
            if ((*rest)[8] != object_end)
                return failed("le segment " + integer_text(k) + " n'a pas la forme attendue");
            starts.push_back(*v[6]);
            ends.push_back(*v[7]);
        }
        const auto order = follow_legs(*first, starts, ends, n, r.warning);
        if (!order.empty()) {
            std::vector<CmapWaypoint> sorted;
            sorted.reserve(n);
            for (std::size_t i : order) sorted.push_back(r.waypoints[i]);
            r.waypoints = std::move(sorted);
        } else {
            r.warning += " : les waypoints restent dans l'ordre du fichier";
        }
    }

    r.waypoint_lines.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& w = r.waypoints[i];
        r.waypoint_lines.push_back(build_waypoint_line(static_cast<int>(i + 1), w.name,
                                                       degrees_text(w.latitude),
                                                       degrees_text(w.longitude)));
    }
    return r;
}

} // namespace marivent::transfer
