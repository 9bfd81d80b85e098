#include "common/number_text.h"
#include "transfer/ozi_files.h"

#include <algorithm>

#include "common/value.h"

namespace marivent::transfer {

namespace {

constexpr std::string_view crlf = "\r\n";
constexpr std::string_view route_header[] = {"OziExplorer Route File Version 1.0", "WGS 84",
                                             "Reserved 1", "Reserved 2"};
constexpr std::string_view waypoint_header[] = {"OziExplorer Waypoint File Version 1.1", "WGS 84",
                                                "Reserved 2", "garmin16"};
constexpr std::string_view route_zero_record = "R,  0,Cmap            ,,255";
// Route number in columns 3 to 5; the name field Cmap<k> in columns 7 to 22.
constexpr std::string_view route_record_template = "R,  1,Cmap            ,,255";
// Route number ending in column 5, position in the route ending in column 9.
constexpr std::string_view w_prefix_template = "W,  0,   ,";
// Proximity 0, altitude -777 (unknown), font size 6, font style 0, symbol size 17.
constexpr std::string_view waypoint_tail = ",    0,   -777, 6, 0,17";
constexpr int waypoints_per_route = 30;
constexpr int last_route_number = 100;
constexpr std::size_t header_lines = 4;
constexpr std::size_t track_header_lines = 6;

// Writes the digits of k so that they end at index `end` (0-based).
void put_right(std::string& s, std::size_t end, int k) {
    const std::string digits = integer_text(k);
    s.replace(end + 1 - digits.size(), digits.size(), digits);
}

std::string route_record(int k) {
    std::string r(route_record_template);
    put_right(r, 4, k);
    const std::string digits = integer_text(k);
    r.replace(10, digits.size(), digits); // the name reads Cmap<k>
    return r;
}

std::vector<std::string_view> split_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

bool is_blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

std::string ozi_route_file(const std::vector<std::string>& waypoint_lines) {
    std::string out;
    out.reserve(200 + waypoint_lines.size() * 146 + last_route_number * 29);
    for (auto h : route_header) (out += h) += crlf;
    (out += route_zero_record) += crlf;
    int route = 1;
    int position = 1;
    for (std::size_t g = 1; g <= waypoint_lines.size(); ++g) {
        std::string prefix(w_prefix_template);
        put_right(prefix, 4, route);
        put_right(prefix, 8, position);
        ++position;
        const std::string& line = waypoint_lines[g - 1];
        // The waypoint line loses its first column, a blank for numbers below 1000; a four-digit
        // number is kept whole rather than cut to its last three digits.
        out += prefix;
        out += (!line.empty() && line[0] == ' ') ? std::string_view(line).substr(1)
                                                 : std::string_view(line);
        out += crlf;
        if (g % waypoints_per_route == 0) {
            ++route;
            position = 1;
            (out += route_record(route)) += crlf;
        }
    }
    for (int k = route + 1; k <= last_route_number; ++k) (out += route_record(k)) += crlf;
    return out;
}

std::string ozi_waypoint_file(const std::vector<std::string>& waypoint_lines) {
    std::string out;
    out.reserve(100 + waypoint_lines.size() * 159);
    for (auto h : waypoint_header) (out += h) += crlf;
    for (const auto& line : waypoint_lines) ((out += line) += waypoint_tail) += crlf;
    return out;
}

OziKind ozi_kind(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return ext == ".plt" ? OziKind::track : OziKind::route_or_waypoints;
}

std::vector<std::string_view> split_lines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

OziRead read_ozi_waypoints(std::string_view bytes) {
    OziRead out;
    const auto lines = split_lines(bytes);
    for (std::size_t i = header_lines; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (!line.empty() && line[0] == 'R') continue; // route record
        auto fields = split_fields(line);
        // W,route,position, then the waypoint fields.
        std::size_t first = (!line.empty() && line[0] == 'W') ? 3 : 0;
        auto field = [&](std::size_t k) {
            return first + k < fields.size() ? fields[first + k] : std::string_view();
        };
        Waypoint w;
        w.latitude = numeric_value(field(2));
        w.longitude = numeric_value(field(3));
        if (w.latitude == 0.0 && w.longitude == 0.0) continue;
        if (out.rows.size() == max_waypoints) return OziRead{{}, true};
        w.number = numeric_value(field(0));
        w.name = fixed_name(name_from_ozi(field(1)));
        out.rows.push_back(std::move(w));
    }
    return out;
}

OziRead read_ozi_track(std::string_view bytes) {
    OziRead out;
    const auto lines = split_lines(bytes);
    for (std::size_t i = track_header_lines; i < lines.size(); ++i) {
        if (is_blank(lines[i])) continue;
        const auto fields = split_fields(lines[i]);
        if (out.rows.size() == max_waypoints) return OziRead{{}, true};
        Waypoint w;
        w.latitude = numeric_value(fields[0]);
        w.longitude = fields.size() > 1 ? numeric_value(fields[1]) : 0.0;
        out.rows.push_back(std::move(w));
    }
    return out;
}

OziRead read_ozi(std::string_view bytes, OziKind kind) {
    return kind == OziKind::track ? read_ozi_track(bytes) : read_ozi_waypoints(bytes);
}

} // namespace marivent::transfer
