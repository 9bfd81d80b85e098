#include <gtest/gtest.h>

#include "fakes.h"
#include "transfer/ozi_files.h"

namespace marivent::transfer {
namespace {

using marivent::testing::read_bytes;
using marivent::testing::testdata_dir;

std::vector<std::string> numbered_lines(int n) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i)
        lines.push_back(build_waypoint_line(i, "WP" + std::to_string(i), degrees_text(-i * 0.5),
                                            degrees_text(100 + i * 0.25)));
    return lines;
}

// Splits on CR LF and checks that nothing else ends a line and that the text ends with CR LF.
std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "last line without CR LF";
        if (end == std::string::npos) break;
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        out.push_back(line);
        start = end + 2;
    }
    return out;
}

std::string record(int k) {
    std::string name = "Cmap" + std::to_string(k);
    name.resize(16, ' ');
    char num[16];
    std::snprintf(num, sizeof num, "%3d", k);
    return "R," + std::string(num) + "," + name + ",,255";
}

TEST(OziRouteFile, ThirtyAndThirtyOneWaypoints) {
    for (int n : {1, 29, 30, 31, 60, 61}) {
        const auto wl = numbered_lines(n);
        const auto lines = crlf_lines(*ozi_route_file(wl));
        std::vector<std::string> expected = {"OziExplorer Route File Version 1.0", "WGS 84",
                                             "Reserved 1", "Reserved 2",
                                             "R,  0,Cmap            ,,255"};
        int route = 1;
        for (int g = 1; g <= n; ++g) {
            char prefix[32];
            std::snprintf(prefix, sizeof prefix, "W,%3d,%3d,", route, (g - 1) % 30 + 1);
            expected.push_back(prefix + wl[g - 1].substr(1));
            if (g % 30 == 0) expected.push_back(record(++route));
        }
        for (int k = route + 1; k <= 100; ++k)
            expected.push_back(record(k));
        EXPECT_EQ(lines, expected) << n;
    }
}

TEST(OziRouteFile, LiteralLinesOfThirtyOne) {
    const auto lines = crlf_lines(*ozi_route_file(numbered_lines(31)));
    ASSERT_EQ(lines.size(), 4u + 1 + 30 + 1 + 1 + 98);
    EXPECT_EQ(lines[5].substr(0, 34), "W,  1,  1,  1,WP1           , -00.");
    EXPECT_EQ(lines[5].size(), 143u);
    EXPECT_EQ(lines[34].substr(0, 14), "W,  1, 30, 30,");
    EXPECT_EQ(lines[35], "R,  2,Cmap2           ,,255");
    EXPECT_EQ(lines[36].substr(0, 14), "W,  2,  1, 31,");
    EXPECT_EQ(lines[37], "R,  3,Cmap3           ,,255");
    EXPECT_EQ(lines.back(), "R,100,Cmap100         ,,255");
    const auto thirty = crlf_lines(*ozi_route_file(numbered_lines(30)));
    ASSERT_EQ(thirty.size(), 4u + 1 + 30 + 99);
    EXPECT_EQ(thirty[35], "R,  2,Cmap2           ,,255");
    EXPECT_EQ(thirty[36], "R,  3,Cmap3           ,,255");
}

TEST(OziRouteFile, FourDigitNumberKeptWhole) {
    const std::vector<std::string> wl = {build_waypoint_line(1000, "X", "01.000000", "02.000000")};
    const auto lines = crlf_lines(*ozi_route_file(wl));
    EXPECT_EQ(lines[5], "W,  1,  1," + wl[0]);
    const OziRead back = read_ozi_waypoints(*ozi_route_file(wl));
    ASSERT_EQ(back.rows.size(), 1u);
    EXPECT_EQ(back.rows[0].number, 1000);
}

TEST(OziWaypointFile, Layout) {
    const auto wl = numbered_lines(3);
    const auto lines = crlf_lines(ozi_waypoint_file(wl));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "OziExplorer Waypoint File Version 1.1");
    EXPECT_EQ(lines[1], "WGS 84");
    EXPECT_EQ(lines[2], "Reserved 2");
    EXPECT_EQ(lines[3], "garmin16");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[4 + i], wl[i] + ",    0,   -777, 6, 0,17");
        EXPECT_EQ(lines[4 + i].size(), 157u);
    }
}

// What this program writes comes back whole: number, 14-character name and coordinates,
// including negative ones and longitudes of 100 and more.
TEST(OziRead, OwnFilesRoundTrip) {
    const auto wl = numbered_lines(61);
    for (const std::string& file : {*ozi_route_file(wl), ozi_waypoint_file(wl)}) {
        const OziRead r = read_ozi_waypoints(file);
        ASSERT_EQ(r.rows.size(), 61u);
        for (int i = 1; i <= 61; ++i) {
            const Waypoint& w = r.rows[i - 1];
            EXPECT_EQ(w.number, i);
            EXPECT_EQ(w.name, fixed_name("WP" + std::to_string(i)));
            EXPECT_DOUBLE_EQ(w.latitude, -i * 0.5);
            EXPECT_DOUBLE_EQ(w.longitude, 100 + i * 0.25);
        }
    }
}

TEST(OziRead, CommaInNameComesBackAsComma) {
    const std::vector<std::string> wl = {build_waypoint_line(1, "Cap,Nord", "48.5", "-4.75")};
    const OziRead r = read_ozi_waypoints(ozi_waypoint_file(wl));
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].name, "Cap,Nord      ");
    EXPECT_EQ(r.rows[0].latitude, 48.5);
    EXPECT_EQ(r.rows[0].longitude, -4.75);
}

TEST(OziRead, LineEndingsAndTheLastLine) {
    const std::string head = "OziExplorer Waypoint File Version 1.1\nWGS 84\nReserved 2\ngarmin\n";
    struct Case {
        const char* legend;
        std::string text;
    } cases[] = {
        {"LF", head + "1,A,1.5,2.5\n2,B,-3.5,-4.5\n3,C,5,6\n"},
        {"no ending", head + "1,A,1.5,2.5\n2,B,-3.5,-4.5\n3,C,5,6"},
        {"CR", "h1\rh2\rh3\rh4\r1,A,1.5,2.5\r2,B,-3.5,-4.5\r3,C,5,6\r"},
        {"mixed", "h1\r\nh2\nh3\r\nh4\n1,A,1.5,2.5\r\n\r\n2,B,-3.5,-4.5\n3,C,5,6"},
    };
    for (const auto& c : cases) {
        const OziRead r = read_ozi_waypoints(c.text);
        ASSERT_EQ(r.rows.size(), 3u) << c.legend;
        EXPECT_EQ(r.rows[2].name, fixed_name("C")) << c.legend;
        EXPECT_EQ(r.rows[2].latitude, 5) << c.legend;
        EXPECT_EQ(r.rows[2].longitude, 6) << c.legend;
        EXPECT_EQ(r.rows[1].latitude, -3.5) << c.legend;
    }
}

TEST(OziRead, RecordsAndZeroLinesAddNoRow) {
    const std::string text = "h\r\nh\r\nh\r\nh\r\nR,  0,Cmap,,255\r\n\r\n"
                             "   1,AT ZERO       ,  00.000000,  00.000000,x\r\n"
                             "W,  1,  1,  2,ON EQUATOR    ,  00.000000,  10.000000,x\r\n"
                             "R,  2,Cmap2,,255";
    const OziRead r = read_ozi_waypoints(text);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].number, 2);
    EXPECT_EQ(r.rows[0].name, "ON EQUATOR    ");
    EXPECT_EQ(r.rows[0].longitude, 10);
}

TEST(OziRead, TableLimit) {
    for (int n : {1024, 1025}) {
        const std::string wpt = ozi_waypoint_file(numbered_lines(n));
        EXPECT_EQ(read_ozi_waypoints(wpt).too_many, n > 1024) << n;
        EXPECT_EQ(read_ozi_waypoints(wpt).rows.size(), n > 1024 ? 0u : 1024u) << n;
        std::string plt = "h\r\nh\r\nh\r\nh\r\nh\r\n3\r\n";
        for (int i = 0; i < n; ++i)
            plt += "1.0,2.0,0,0,0,,\r\n";
        EXPECT_EQ(read_ozi_track(plt).too_many, n > 1024) << n;
    }
}

TEST(OziRead, KindByExtension) {
    EXPECT_EQ(ozi_kind("a/ile.plt"), OziKind::track);
    EXPECT_EQ(ozi_kind("ILE.PLT"), OziKind::track);
    EXPECT_EQ(ozi_kind("ile.rte"), OziKind::route_or_waypoints);
    EXPECT_EQ(ozi_kind("ile.wpt"), OziKind::route_or_waypoints);
    EXPECT_EQ(ozi_kind("plt"), OziKind::route_or_waypoints);
}

// Files written by OziExplorer, GPSBabel and mapsoft2, as they are.
TEST(OziRead, FilesOfOtherPrograms) {
    struct Case {
        const char* file;
        std::size_t rows;
        std::size_t check; // a row to look at
        double number;
        const char* name; // nullptr for track points
        double lat, lon;
    } cases[] = {
        {"ozi.rte", 4, 3, 118, "COLBO3W       ", -34.477470, -57.861670},
        {"ozi~rte.rte", 4, 0, 1, "MPCHIC        ", -34.445850, -58.523720},
        {"ozi.wpt", 9, 8, 9, "GC317D        ", 36.082800, -86.867283},
        {"ozi-color.wpt", 9, 1, 2, "GC1A37        ", 36.090683, -86.679550},
        {"ozi1a.wpt", 11, 10, 11, "NOCH1         ", 59.036908, 42.801026},
        {"20070813_short~plt.plt", 44, 43, 0, nullptr, 47.463833, 3.743018},
        {"ozi1.plt", 11, 10, 0, nullptr, 58.823350, 42.629810},
        {"ozi1a.plt", 11, 0, 0, nullptr, 58.821140, 42.627060},
        {"test.plt", 56, 55, 0, nullptr, 38.955861, 69.164388},
        {"ozitracks~gpx.plt", 2, 0, 0, nullptr, 0.0, 1.0},
        {"ozitracks~gpx-1.plt", 3, 2, 0, nullptr, 1.000020, 2.000020},
        {"ozitracks~gpx-2.plt", 4, 3, 0, nullptr, 2.000030, 3.000030},
    };
    for (const auto& c : cases) {
        const auto path = testdata_dir() / "ozi" / c.file;
        const std::string bytes = read_bytes(path);
        ASSERT_FALSE(bytes.empty()) << path;
        const OziRead r = read_ozi(bytes, ozi_kind(path));
        ASSERT_EQ(r.rows.size(), c.rows) << c.file;
        const Waypoint& w = r.rows[c.check];
        EXPECT_EQ(w.number, c.number) << c.file;
        EXPECT_EQ(w.name, c.name ? c.name : "") << c.file;
        EXPECT_DOUBLE_EQ(w.latitude, c.lat) << c.file;
        EXPECT_DOUBLE_EQ(w.longitude, c.lon) << c.file;
    }
}

} // namespace
} // namespace marivent::transfer
