#include "transfer/ozi_files.h"

#include <algorithm>
#include <cstring>

#include "common/lines.h"
#include "common/number_text.h"
#include "transfer/field_numbers.h"

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

// Writes the digits of k so that they end at index `end` (0-based) of `s`; false, with nothing
// written, when they are more than the end + 1 characters up to there.
bool put_right(char* s, std::size_t end, int k) {
    char digits[16];
    char* const digits_end = digits + sizeof digits;
    const char* first = put_digits_before(digits_end, static_cast<unsigned long>(k));
    const auto n = static_cast<std::size_t>(digits_end - first);
    if (n > end + 1) return false;
    std::memcpy(s + end + 1 - n, first, n);
    return true;
}

// Why a route number cannot be written in its columns.
Failure too_many_routes(int route) {
    return failure("le numéro de route " + integer_text(route) +
                   " ne tient pas dans les colonnes d'un fichier de route OziExplorer");
}

// Appends the route record of route k: its number ending in column 5, the name reading Cmap<k>.
// False, with nothing appended, when the number has more than five digits.
bool append_route_record(std::string& out, int k) {
    char r[route_record_template.size()];
    std::memcpy(r, route_record_template.data(), sizeof r);
    if (!put_right(r, 4, k)) return false;
    char digits[16];
    char* const digits_end = digits + sizeof digits;
    const char* first = put_digits_before(digits_end, static_cast<unsigned long>(k));
    std::memcpy(r + 10, first, static_cast<std::size_t>(digits_end - first));
    out.append(r, sizeof r);
    return true;
}

// The fields first to first + count - 1 of a comma-separated line; those the line does not have
// are left empty.
void take_fields(std::string_view line, std::size_t first, std::string_view* fields,
                 std::size_t count) {
    const char* start = line.data();
    const char* const end = start + line.size();
    for (std::size_t k = 0; k < first + count; ++k) {
        const void* comma = std::memchr(start, ',', static_cast<std::size_t>(end - start));
        const char* stop = comma ? static_cast<const char*>(comma) : end;
        if (k >= first)
            fields[k - first] = std::string_view(start, static_cast<std::size_t>(stop - start));
        if (!comma) return;
        start = stop + 1;
    }
}

bool is_blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// Room for the rows a text can hold, one line of at least `shortest` bytes each, within the limit.
void reserve_rows(OziRead& read, std::string_view bytes, std::size_t shortest) {
    read.rows.reserve(std::min(max_waypoints, bytes.size() / shortest + 1));
}

} // namespace

Result<std::string> ozi_route_file(const std::vector<std::string>& waypoint_lines) {
    std::string out;
    std::size_t size = 200 + last_route_number * (route_record_template.size() + 2);
    for (const auto& line : waypoint_lines)
        size += w_prefix_template.size() + line.size() + 2;
    out.reserve(size + waypoint_lines.size() / waypoints_per_route * 29);
    for (auto h : route_header)
        (out += h) += crlf;
    (out += route_zero_record) += crlf;
    int route = 1;
    int position = 1;
    for (std::size_t g = 1; g <= waypoint_lines.size(); ++g) {
        char prefix[w_prefix_template.size()];
        std::memcpy(prefix, w_prefix_template.data(), sizeof prefix);
        if (!put_right(prefix, 4, route) || !put_right(prefix, 8, position))
            return too_many_routes(route);
        ++position;
        const std::string& line = waypoint_lines[g - 1];
        // The waypoint line loses its first column, a blank for numbers below 1000; a four-digit
        // number is kept whole rather than cut to its last three digits.
        out.append(prefix, sizeof prefix);
        out += (!line.empty() && line[0] == ' ') ? std::string_view(line).substr(1)
                                                 : std::string_view(line);
        out += crlf;
        if (g % waypoints_per_route == 0) {
            ++route;
            position = 1;
            if (!append_route_record(out, route)) return too_many_routes(route);
            out += crlf;
        }
    }
    for (int k = route + 1; k <= last_route_number; ++k) {
        append_route_record(out, k); // at most 100: it fits
        out += crlf;
    }
    return out;
}

std::string ozi_waypoint_file(const std::vector<std::string>& waypoint_lines) {
    std::string out;
    std::size_t size = 100;
    for (const auto& line : waypoint_lines)
        size += line.size() + waypoint_tail.size() + 2;
    out.reserve(size);
    for (auto h : waypoint_header)
        (out += h) += crlf;
    for (const auto& line : waypoint_lines)
        ((out += line) += waypoint_tail) += crlf;
    return out;
}

OziKind ozi_kind(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return ext == ".plt" ? OziKind::track : OziKind::route_or_waypoints;
}

OziRead read_ozi_waypoints(std::string_view bytes) {
    OziRead out;
    reserve_rows(out, bytes, 8);
    LineCursor cursor(bytes);
    std::string_view line;
    for (std::size_t i = 0; i < header_lines; ++i)
        if (!cursor.next(line)) return out;
    while (cursor.next(line)) {
        if (!line.empty() && line[0] == 'R') continue; // route record
        // W,route,position, then the waypoint fields: number, name, latitude, longitude.
        std::string_view fields[4];
        take_fields(line, (!line.empty() && line[0] == 'W') ? 3 : 0, fields, 4);
        const double latitude = field_value(fields[2]);
        const double longitude = field_value(fields[3]);
        if (latitude == 0.0 && longitude == 0.0) continue;
        if (out.rows.size() == max_waypoints) return OziRead{{}, true};
        Waypoint& w = out.rows.emplace_back();
        w.number = field_value(fields[0]);
        w.name = name_from_ozi(fields[1]);
        w.latitude = latitude;
        w.longitude = longitude;
    }
    return out;
}

OziRead read_ozi_track(std::string_view bytes) {
    OziRead out;
    reserve_rows(out, bytes, 4);
    LineCursor cursor(bytes);
    std::string_view line;
    for (std::size_t i = 0; i < track_header_lines; ++i)
        if (!cursor.next(line)) return out;
    while (cursor.next(line)) {
        if (is_blank(line)) continue;
        if (out.rows.size() == max_waypoints) return OziRead{{}, true};
        std::string_view fields[2]; // latitude, longitude
        take_fields(line, 0, fields, 2);
        Waypoint& w = out.rows.emplace_back();
        w.latitude = field_value(fields[0]);
        w.longitude = field_value(fields[1]);
    }
    return out;
}

OziRead read_ozi(std::string_view bytes, OziKind kind) {
    return kind == OziKind::track ? read_ozi_track(bytes) : read_ozi_waypoints(bytes);
}

} // namespace marivent::transfer
