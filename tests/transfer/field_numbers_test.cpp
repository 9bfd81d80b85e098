// The fast readers and writers of the transfer files against what they replace: numeric_value,
// format_number and the line-by-line readers, on many values and texts, ties and edges; and the
// bytes of 1024-waypoint conversions each way, as the converter wrote them before.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "common/format.h"
#include "common/lines.h"
#include "common/number_text.h"
#include "common/value.h"
#include "transfer/cmap_route.h"
#include "transfer/field_numbers.h"
#include "transfer/ozi_files.h"

namespace marivent::transfer {
namespace {

// The coordinate text as it was composed before put_coordinate.
std::string reference_coordinate(double value, bool latitude) {
    const double a = std::fabs(value);
    const double degrees = std::floor(a);
    std::string out = format_text(integer_text(static_cast<long long>(degrees)), "@@@");
    std::string m = format_text(format_number((a - degrees) * 60.0, "#00.00", '.'), "@@@@@@");
    m[3] = '.';
    return out + m + (latitude ? (value > 0 ? 'N' : 'S') : (value > 0 ? 'E' : 'W'));
}

double reference_coordinate_value(std::string_view text) {
    const double sign = (!text.empty() && (text.back() == 'S' || text.back() == 'W')) ? -1.0 : 1.0;
    const double d = numeric_value(text.substr(0, 3));
    const double m = text.size() > 4 ? numeric_value(text.substr(4, 5)) : 0.0;
    return sign * (d + m / 60.0);
}

// A name as the waypoint line stored it before: its first 14 characters blank-filled, a comma
// as character 209, control characters as blanks.
std::string reference_stored_name(std::string_view name) {
    std::string out(name.substr(0, name_width));
    for (char& c : out) {
        if (c == ',')
            c = '\xD1';
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    out.resize(name_width, ' ');
    return out;
}

// A name field as it was read before: its first 14 characters blank-filled, character 209 read
// as a comma.
std::string reference_read_name(std::string_view field) {
    std::string out(field.substr(0, name_width));
    for (char& c : out)
        if (c == '\xD1') c = ',';
    out.resize(name_width, ' ');
    return out;
}

// The waypoint line as it was put together before, from fixed-width texts.
std::string reference_line(int number, std::string_view name, std::string_view latitude,
                           std::string_view longitude) {
    return format_text(integer_text(number), "@@@@") + "," + reference_stored_name(name) + "," +
           format_text(latitude, "@@@@@@@@@@@") + "," + format_text(longitude, "@@@@@@@@@@@") +
           ",37109.72606,  0, 1, 3,         0,  16777215," + std::string(40, ' ') + ", 0, 0";
}

// The lines and rows as they were read before the line cursor.
std::vector<std::string_view> reference_lines(std::string_view bytes) {
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

std::vector<std::string_view> reference_fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(
            line.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) return fields;
        start = comma + 1;
    }
}

OziRead reference_waypoints(std::string_view bytes) {
    OziRead out;
    const auto lines = reference_lines(bytes);
    for (std::size_t i = 4; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (!line.empty() && line[0] == 'R') continue;
        const auto fields = reference_fields(line);
        const std::size_t first = (!line.empty() && line[0] == 'W') ? 3 : 0;
        auto field = [&](std::size_t k) {
            return first + k < fields.size() ? fields[first + k] : std::string_view();
        };
        Waypoint w{numeric_value(field(0)), reference_read_name(field(1)), numeric_value(field(2)),
                   numeric_value(field(3))};
        if (w.latitude == 0.0 && w.longitude == 0.0) continue;
        if (out.rows.size() == max_waypoints) return OziRead{{}, true};
        out.rows.push_back(w);
    }
    return out;
}

OziRead reference_track(std::string_view bytes) {
    OziRead out;
    const auto lines = reference_lines(bytes);
    for (std::size_t i = 6; i < lines.size(); ++i) {
        if (lines[i].find_first_not_of(" \t") == std::string_view::npos) continue;
        if (out.rows.size() == max_waypoints) return OziRead{{}, true};
        const auto fields = reference_fields(lines[i]);
        out.rows.push_back(
            {0, "", numeric_value(fields[0]), fields.size() > 1 ? numeric_value(fields[1]) : 0.0});
    }
    return out;
}

std::uint64_t bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

void expect_same_rows(const OziRead& a, const OziRead& b, const std::string& text) {
    ASSERT_EQ(a.too_many, b.too_many) << text;
    ASSERT_EQ(a.rows.size(), b.rows.size()) << text;
    for (std::size_t i = 0; i < a.rows.size(); ++i) {
        EXPECT_EQ(bits(a.rows[i].number), bits(b.rows[i].number)) << text;
        EXPECT_EQ(a.rows[i].name, b.rows[i].name) << text;
        EXPECT_EQ(bits(a.rows[i].latitude), bits(b.rows[i].latitude)) << text;
        EXPECT_EQ(bits(a.rows[i].longitude), bits(b.rows[i].longitude)) << text;
    }
}

// Values where rounding is decided: around the ties of 6 and 2 decimals, the whole-degree and
// 1000 carries, signed zeros, the smallest values and those no pattern takes.
std::vector<double> values_to_try() {
    std::vector<double> v = {0.0,           -0.0,
                             5e-7,          -5e-7,
                             4.999999e-7,   -4.999999e-7,
                             0.0000015,     0.125,
                             0.015,         1.005,
                             59.995,        -179.9999995,
                             179.9999996,   999.9999995,
                             -999.99999949, 1000,
                             -1000,         1e-300,
                             5e-324,        1e20,
                             -1e300,        std::numeric_limits<double>::quiet_NaN(),
                             HUGE_VAL,      -HUGE_VAL};
    std::mt19937_64 rng(20261207);
    std::uniform_real_distribution<double> globe(-180, 180), wide(-1500, 1500);
    for (int i = 0; i < 60000; ++i) {
        const double k = std::round(globe(rng) * 1e6);
        const double nudge = static_cast<double>(static_cast<int>(rng() % 5) - 2) * 1e-9;
        v.push_back((k + 0.5) / 1e6 + nudge); // ties at 6 decimals
        const double degrees = static_cast<double>(rng() % 181);
        const double minutes = (static_cast<double>(rng() % 6000) + 0.5) / 100;
        v.push_back((rng() & 1 ? 1 : -1) * (degrees + minutes / 60)); // ties of the minutes
        v.push_back(wide(rng));
        const int exponent = -static_cast<int>(rng() % 70);
        v.push_back(std::ldexp(static_cast<double>(rng() % 1000000), exponent));
    }
    return v;
}

TEST(FieldNumbers, DegreesAndMinutesAsFormatNumberWritesThem) {
    for (const double v : values_to_try()) {
        ASSERT_EQ(degrees_text(v), format_number(v, "##00.000000", '.')) << general_text(v, 17);
        std::string minutes;
        append_fixed(minutes, v, minutes_pattern);
        ASSERT_EQ(minutes, format_number(v, "#00.00", '.')) << general_text(v, 17);
    }
}

TEST(FieldNumbers, CoordinateTextAsComposedBefore) {
    for (const double v : values_to_try()) {
        if (!(std::fabs(v) < 1e6)) continue; // the reference casts the degrees to an integer
        ASSERT_EQ(coordinate_text(v, true), reference_coordinate(v, true)) << general_text(v, 17);
        ASSERT_EQ(coordinate_text(v, false), reference_coordinate(v, false)) << general_text(v, 17);
    }
    // Minutes that round up to 60 keep the degrees, as before.
    EXPECT_EQ(coordinate_text(43.99999999, true), " 43 60.00N");
    EXPECT_EQ(coordinate_text(-0.0, false), "  0 00.00W");
}

TEST(FieldNumbers, CoordinateValueAsReadBefore) {
    std::vector<std::string> texts = {"",           "N",          "  0 00.00S", "180 00.00E",
                                      " 43 05.12N", "9 5 05.12",  " 43 05.1 N", "-43 05.12N",
                                      " 43 -5.12S", "043 05.12W", " 43 05.12",  " 43 05.12NN",
                                      " 4  05.12N", "1 3 05.12N"};
    std::mt19937_64 rng(3);
    const std::string alphabet = " 0123456789.-+eNSEW";
    for (const double v : values_to_try()) {
        if (!(std::fabs(v) < 1e6)) continue;
        std::string text = coordinate_text(v, rng() & 1);
        texts.push_back(text);
        text[rng() % text.size()] = alphabet[rng() % alphabet.size()];
        texts.push_back(text);
    }
    for (const auto& t : texts)
        ASSERT_EQ(bits(coordinate_value(t)), bits(reference_coordinate_value(t))) << t;
}

TEST(FieldNumbers, WaypointLineAsPutTogetherBefore) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> degrees(-1500, 1500);
    for (int i = 0; i < 20000; ++i) {
        std::string name;
        for (std::size_t n = rng() % 20; n > 0; --n)
            name += static_cast<char>(rng() % 256);
        const int numbers[] = {static_cast<int>(rng() % 10000),
                               static_cast<int>(rng() % 30000) - 15000,
                               std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
        const int number = numbers[i % 7 == 0 ? rng() % 4 : rng() % 2];
        std::string latitude = degrees_text(degrees(rng));
        if (rng() % 8 == 0) latitude += "12";
        const std::string longitude = degrees_text(degrees(rng)).substr(0, rng() % 13);
        ASSERT_EQ(build_waypoint_line(number, name, latitude, longitude),
                  reference_line(number, name, latitude, longitude))
            << number << " " << name;
    }
}

TEST(FieldNumbers, FieldValueIsNumericValueBitForBit) {
    std::vector<std::string> texts = {"",
                                      " ",
                                      "-",
                                      "+",
                                      ".",
                                      "-.",
                                      "+.5",
                                      "5.",
                                      "-0",
                                      "-0.000",
                                      " \t\n-12.5x",
                                      "\r5",
                                      "1e5",
                                      "1e",
                                      "1E-3,",
                                      "123456789012345",
                                      "1234567890123456",
                                      "0000000000000001.5",
                                      "1e400",
                                      "-1e-400",
                                      "99999999999999999999999",
                                      " -60.000000",
                                      "  5",
                                      "05.12"};
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> coordinate(-200, 200);
    const std::string alphabet = " \t\n\r+-.0123456789eE,xS";
    for (int i = 0; i < 60000; ++i) {
        std::string random;
        for (std::size_t n = rng() % 18; n > 0; --n)
            random += alphabet[rng() % alphabet.size()];
        texts.push_back(random);
        texts.push_back(std::string(rng() % 3, ' ') +
                        fixed_text(coordinate(rng), static_cast<int>(rng() % 12)));
    }
    for (const auto& t : texts)
        ASSERT_EQ(bits(field_value(t)), bits(numeric_value(t))) << t;
}

TEST(FieldNumbers, WaypointAndTrackFilesReadAsLineByLine) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> lat(-95, 95), lon(-185, 185);
    const char* const endings[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\r", ""};
    for (int file = 0; file < 150; ++file) {
        std::string text;
        const bool one_ending = file % 3 != 0;
        for (int line = 0, lines = static_cast<int>(rng() % 1100); line < lines; ++line) {
            std::string name;
            for (std::size_t n = rng() % 18; n > 0; --n)
                name += static_cast<char>(32 + rng() % 224);
            const std::string coordinates =
                fixed_text(lat(rng), static_cast<int>(rng() % 8)) + "," + fixed_text(lon(rng), 6);
            switch (rng() % 8) {
            case 0:
                text += "R,  1,Cmap1           ,,255";
                break;
            case 1:
                text += rng() % 2 ? "" : "  \t";
                break;
            case 2:
                text += "W,  1,  2," + integer_text(line) + "," + name + "," + coordinates;
                break;
            case 3:
                text += integer_text(line) + "," + name;
                break;
            case 4:
                text += coordinates + ",0,-777";
                break;
            default:
                text += integer_text(line) + "," + name + "," + coordinates + ",37109.72606";
            }
            text += one_ending ? endings[file % 5] : endings[rng() % 6];
        }
        expect_same_rows(read_ozi_waypoints(text), reference_waypoints(text), text.substr(0, 200));
        expect_same_rows(read_ozi_track(text), reference_track(text), text.substr(0, 200));
        EXPECT_EQ(split_lines(text), reference_lines(text));
    }
}

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ULL;
    for (const unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ULL;
    return h;
}

// 1024 waypoints over both hemispheres, with commas, character 209 and a tab in some names; the
// sizes and FNV-1a hashes are those of the files the converter wrote before its fast readers and
// writers.
TEST(FieldNumbers, LargeFilesEachWayByteForByte) {
    WaypointTable rows;
    for (int i = 0; i < 1024; ++i) {
        std::string name = "WP" + integer_text(i + 1);
        if (i % 7 == 3) name = "Cap, la " + integer_text(i);
        if (i % 11 == 5) name = "\xD1Ile\tde " + integer_text(i);
        rows.push_back({i + 1.0, fixed_name(name), -60 + i * 0.117, -179 + i * 0.349});
    }
    const Result<std::string> written = cmap_route_file("ile", rows);
    ASSERT_TRUE(written) << written.why();
    const std::string& cmap = *written;
    EXPECT_EQ(cmap.size(), 136197u);
    EXPECT_EQ(fnv1a(cmap), 0xbd5c03a0f6178246ULL);
    const Result<CmapRead> back = read_cmap_route(cmap);
    ASSERT_TRUE(back) << back.why();
    EXPECT_EQ(back->last_latitude_text, " 59 41.46N");
    const Result<std::string> route = ozi_route_file(back->waypoint_lines);
    ASSERT_TRUE(route) << route.why();
    const std::string& rte = *route;
    const std::string wpt = ozi_waypoint_file(back->waypoint_lines);
    EXPECT_EQ(rte.size(), 151473u);
    EXPECT_EQ(fnv1a(rte), 0xe42373bfb6e5abf7ULL);
    EXPECT_EQ(wpt.size(), 162885u);
    EXPECT_EQ(fnv1a(wpt), 0x9267c1aee4ec1572ULL);
    for (const std::string& ozi : {wpt, rte}) {
        const OziRead read = read_ozi(ozi, OziKind::route_or_waypoints);
        const Result<std::string> again = cmap_route_file("ile", read.rows);
        ASSERT_TRUE(again) << again.why();
        EXPECT_EQ(again->size(), 136197u);
        EXPECT_EQ(fnv1a(*again), 0xd2917ef8fc5322faULL);
    }
}

} // namespace
} // namespace marivent::transfer
