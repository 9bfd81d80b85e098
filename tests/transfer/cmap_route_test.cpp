#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "transfer/cmap_route.h"
#include "transfer/ozi_files.h"

namespace marivent::transfer {
namespace {

// Builds route files piece by piece from the byte layout, independently of the writer.
std::string b(std::initializer_list<int> bytes) {
    std::string out;
    for (int v : bytes)
        out += static_cast<char>(v);
    return out;
}
std::string u32(std::uint32_t v) {
    return b({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
              static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v >> 24)});
}
std::string text(const std::string& t) {
    return u32(static_cast<std::uint32_t>(t.size())) + t;
}

const std::string signature = b({58, 1, 1, 0, 0, 7, 0, 0, 0}) + "CMROUTE" + b({2, 91, 6, 0, 0, 0});

std::string waypoint_object(const std::string& name, const std::string& lat,
                            const std::string& lon) {
    return b({2, 91, 9, 0, 0, 0}) + "TWayPoint" + u32(1) + text(name) + text(lat) + text(lon) +
           u32(50) + u32(1) + u32(0) + "]";
}
std::string leg_object(std::uint32_t start, std::uint32_t end) {
    return b({2, 91, 4, 0, 0, 0}) + "TLeg" + u32(1) + u32(0) + b({244, 1, 0, 0}) + u32(5) + u32(0) +
           u32(1) + u32(start) + u32(end) + u32(0) + b({0, 0, 0, 0, 0, 0, 240, 191}) + "]";
}
struct Wp {
    std::string name, lat, lon;
};
std::string route_file(const std::string& name, std::uint32_t first, std::uint32_t last,
                       const std::vector<Wp>& wps,
                       const std::vector<std::pair<std::uint32_t, std::uint32_t>>& legs) {
    std::string out = signature + "TRoute" + u32(1) + text(name) + u32(2) + u32(first) + u32(last) +
                      u32(static_cast<std::uint32_t>(wps.size()));
    for (const auto& w : wps)
        out += waypoint_object(w.name, w.lat, w.lon);
    out += u32(static_cast<std::uint32_t>(legs.size()));
    for (const auto& [s, e] : legs)
        out += leg_object(s, e);
    return out + "]";
}

const std::vector<Wp> abc = {{"A", " 43 05.12N", "  5 30.00W"},
                             {"B", " 33 15.00S", "151 12.00E"},
                             {"C", "  0 00.00S", "  0 00.00W"}};
const WaypointTable abc_rows = {
    {1, "A", 43.0853333, -5.5}, {2, "B", -33.25, 151.2}, {3, "C", 0, 0}};

TEST(CmapCoordinateText, Examples) {
    struct Case {
        double v;
        bool lat;
        const char* text;
    } cases[] = {
        {43.0853333, true, " 43 05.12N"}, {-5.5, false, "  5 30.00W"},
        {0.0, true, "  0 00.00S"},        {0.0, false, "  0 00.00W"},
        {43.99999, true, " 43 60.00N"},   {151.2, false, "151 12.00E"},
        {-33.25, true, " 33 15.00S"},     {-180, false, "180 00.00W"},
        {90, true, " 90 00.00N"},         {0.0001, false, "  0 00.01E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(coordinate_text(c.v, c.lat), c.text) << c.v;
        EXPECT_NEAR(coordinate_value(c.text), c.v, 0.005 / 60 + 1e-12) << c.text;
    }
    EXPECT_DOUBLE_EQ(coordinate_value(" 43 60.00N"), 44.0);
    EXPECT_DOUBLE_EQ(coordinate_value("  5 30.00W"), -5.5);
}

TEST(CmapWrite, OneWaypointByteForByte) {
    const Result<std::string> w = cmap_route_file("ile", {{1, "A", 43.0853333, -5.5}});
    ASSERT_TRUE(w) << w.why();
    const std::string expected =
        b({58, 1, 1, 0, 0, 7, 0, 0, 0, 67, 77, 82, 79, 85, 84, 69, 2, 91, 6, 0, 0, 0}) + "TRoute" +
        b({1, 0, 0, 0, 3, 0, 0, 0}) + "ile" +
        b({2, 0, 0, 0, /*first*/ 0, 0, 0, 0, /*n-1*/ 0, 0, 0, 0, /*n*/ 1, 0, 0, 0}) +
        b({2, 91, 9, 0, 0, 0}) + "TWayPoint" + b({1, 0, 0, 0, 1, 0, 0, 0}) + "A" +
        b({10, 0, 0, 0}) + " 43 05.12N" + b({10, 0, 0, 0}) + "  5 30.00W" +
        b({50, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 93}) + b({0, 0, 0, 0, 93});
    EXPECT_EQ(*w, expected);
    EXPECT_EQ(w->size(), 52 + 3 + 65 + 4 + 1u);
}

TEST(CmapWrite, ThreeWaypointsAndTheirLegs) {
    const Result<std::string> w = cmap_route_file("ile", abc_rows);
    ASSERT_TRUE(w) << w.why();
    EXPECT_EQ(*w, route_file("ile", 0, 2, abc, {{0, 1}, {1, 2}}));
    // first index 0 at 40 + L, n - 1 = 2 at 44 + L, n = 3 at 48 + L
    EXPECT_EQ(w->substr(43, 12), u32(0) + u32(2) + u32(3));
    EXPECT_EQ(w->size(), 52 + 3 + 3 * 65 + 4 + 2 * 55 + 1u);
    // A 14-character name keeps its blanks; a track point's empty name has length 0.
    const Result<std::string> named =
        cmap_route_file("t", {{0, "ABC           ", 1, 1}, {0, "", 2, 2}});
    ASSERT_TRUE(named) << named.why();
    EXPECT_NE(named->find(text("ABC           ") + text("  1 00.00N")), std::string::npos);
    EXPECT_NE(named->find(u32(1) + text("") + text("  2 00.00N")), std::string::npos);
}

TEST(CmapWrite, Refusals) {
    EXPECT_FALSE(cmap_route_file("x", {}).why().empty());
    EXPECT_FALSE(cmap_route_file("x", WaypointTable(1025, Waypoint{0, "", 1, 1})).why().empty());
    EXPECT_FALSE(cmap_route_file("x", {{1, "A", 91, 0}}).why().empty());
    EXPECT_FALSE(cmap_route_file("x", {{1, "A", 0, -180.001}}).why().empty());
    EXPECT_TRUE(cmap_route_file("x", WaypointTable(1024, Waypoint{0, "", 1, 1})).ok());
}

TEST(CmapRead, FileOrderWhenStoredInOrder) {
    const Result<CmapRead> read = read_cmap_route(route_file("ile", 0, 2, abc, {{0, 1}, {1, 2}}));
    ASSERT_TRUE(read) << read.why();
    const CmapRead& r = *read;
    EXPECT_TRUE(r.warning.empty());
    EXPECT_EQ(r.route_name, "ile");
    ASSERT_EQ(r.waypoint_lines.size(), 3u);
    EXPECT_EQ(r.waypoint_lines[0], build_waypoint_line(1, "A", "43.085333", "-05.500000"));
    EXPECT_EQ(r.waypoint_lines[1], build_waypoint_line(2, "B", "-33.250000", "151.200000"));
    EXPECT_EQ(r.waypoint_lines[2], build_waypoint_line(3, "C", "00.000000", "00.000000"));
    EXPECT_EQ(r.last_latitude_text, "  0 00.00S");
}

TEST(CmapRead, LegsGiveTheRouteOrder) {
    struct Case {
        const char* legend;
        std::uint32_t first, last;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> legs;
        std::vector<std::string> order; // names in route order
    } cases[] = {
        {"starts at 2", 2, 1, {{2, 0}, {0, 1}}, {"C", "A", "B"}},
        {"last field says unordered", 0, 0, {{0, 2}, {2, 1}}, {"A", "C", "B"}},
        {"first leg found wins", 1, 0, {{1, 2}, {1, 0}, {2, 0}}, {"B", "C", "A"}},
    };
    for (const auto& c : cases) {
        const Result<CmapRead> read =
            read_cmap_route(route_file("r", c.first, c.last, abc, c.legs));
        ASSERT_TRUE(read) << c.legend << ": " << read.why();
        const CmapRead& r = *read;
        EXPECT_TRUE(r.warning.empty()) << c.legend;
        ASSERT_EQ(r.waypoints.size(), 3u);
        for (std::size_t p = 0; p < 3; ++p) {
            EXPECT_EQ(r.waypoints[p].name, c.order[p]) << c.legend;
            EXPECT_EQ(r.waypoint_lines[p].substr(0, 6),
                      "   " + std::to_string(p + 1) + "," + c.order[p])
                << c.legend;
        }
        EXPECT_EQ(r.last_latitude_text, "  0 00.00S") << c.legend; // C is last in the file
    }
}

// Legs that lead nowhere or round in a circle: a warning, and the file order.
TEST(CmapRead, BrokenLegsKeepFileOrder) {
    struct Case {
        const char* legend;
        std::uint32_t first;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> legs;
    } cases[] = {
        {"no leg from 0", 2, {{2, 0}, {1, 2}}},       {"circle", 2, {{2, 0}, {0, 2}}},
        {"end out of range", 2, {{2, 7}, {0, 1}}},    {"first out of range", 3, {{2, 0}, {0, 1}}},
        {"huge first", 0xFFFFFFFF, {{2, 0}, {0, 1}}}, {"no legs at all", 1, {}},
    };
    for (const auto& c : cases) {
        const Result<CmapRead> read = read_cmap_route(route_file("r", c.first, 2, abc, c.legs));
        ASSERT_TRUE(read) << c.legend << ": " << read.why();
        const CmapRead& r = *read;
        EXPECT_NE(r.warning.find("ordre du fichier"), std::string::npos) << c.legend;
        ASSERT_EQ(r.waypoint_lines.size(), 3u) << c.legend;
        EXPECT_EQ(r.waypoint_lines[0].substr(0, 6), "   1,A") << c.legend;
        EXPECT_EQ(r.waypoint_lines[2].substr(0, 6), "   3,C") << c.legend;
    }
}

TEST(CmapRead, CountsAndLengthsAbove255) {
    WaypointTable rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back({0, "N" + std::to_string(i), -40 + i * 0.25, 170 - i * 0.5});
    rows[5].name = std::string(300, 'x');
    const std::string route_name(270, 'R');
    const Result<std::string> w = cmap_route_file(route_name, rows);
    ASSERT_TRUE(w) << w.why();
    const std::size_t l = route_name.size();
    EXPECT_EQ(w->substr(32, 4 + l), text(route_name));
    EXPECT_EQ(w->substr(44 + l, 8), b({43, 1, 0, 0, 44, 1, 0, 0}));
    // The last leg runs from 298 to 299.
    EXPECT_EQ(w->substr(w->size() - 1 - 55 + 34, 8), b({42, 1, 0, 0, 43, 1, 0, 0}));

    const Result<CmapRead> read = read_cmap_route(*w);
    ASSERT_TRUE(read) << read.why();
    const CmapRead& r = *read;
    EXPECT_EQ(r.route_name, route_name);
    ASSERT_EQ(r.waypoints.size(), 300u);
    EXPECT_EQ(r.waypoints[5].name, std::string(300, 'x'));
    EXPECT_EQ(r.waypoint_lines[5].substr(5, 14), std::string(14, 'x'));
    EXPECT_EQ(r.waypoints[299].name, "N299");
    EXPECT_EQ(r.waypoint_lines[299].substr(0, 9), " 300,N299");
    EXPECT_NEAR(r.waypoints[299].longitude, 170 - 299 * 0.5, 1e-9);
}

TEST(CmapRead, CutShortAtEveryLength) {
    const std::string ordered = route_file("ile", 0, 2, abc, {{0, 1}, {1, 2}});
    const std::string by_legs = route_file("ile", 2, 1, abc, {{2, 0}, {0, 1}});
    const std::size_t waypoints_end = 52 + 3 + 3 * 65;
    for (std::size_t len = 0; len < ordered.size(); ++len) {
        const Result<CmapRead> r = read_cmap_route(std::string_view(ordered).substr(0, len));
        // The legs are not needed when the route is stored in order.
        EXPECT_EQ(r.ok(), len >= waypoints_end) << len;
        EXPECT_EQ(r.why().empty(), r.ok()) << len; // a failure says why
        // A failure holds no route at all: no waypoint line of a file cut short is given.
        const Result<CmapRead> l = read_cmap_route(std::string_view(by_legs).substr(0, len));
        EXPECT_EQ(l.ok(), len >= by_legs.size() - 1) << len;
        EXPECT_EQ(l.why().empty(), l.ok()) << len;
    }
}

TEST(CmapRead, NotARoute) {
    std::string wrong_class = route_file("r", 0, 2, abc, {});
    wrong_class.replace(wrong_class.find("TWayPoint"), 9, "TWayPoinX");
    std::string wrong_length = route_file("r", 0, 0, {{"A", " 43 05.12", "  5 30.00W"}}, {});
    std::string off_globe = route_file("r", 0, 0, {{"A", " 99 00.00N", "  5 30.00W"}}, {});
    WaypointTable many(1025, Waypoint{0, "", 1, 1});
    std::vector<Wp> many_wps(1025, Wp{"", "  1 00.00N", "  1 00.00E"});
    const std::string cases[] = {
        "",
        "OziExplorer Route File Version 1.0\r\nWGS 84\r\n",
        signature + "TRouteX",
        wrong_class,
        wrong_length,
        off_globe,
        route_file("r", 0, 1024, many_wps, {}),
        signature + "TRoute" + u32(1) + text("r") + u32(2) + u32(0) + u32(0) + u32(0xFFFFFFFF),
        signature + "TRoute" + u32(1) + u32(0x7FFFFFFF) + "r",
    };
    for (const auto& c : cases) {
        const Result<CmapRead> r = read_cmap_route(c);
        EXPECT_FALSE(r.why().empty()) << c.size();
        EXPECT_FALSE(r.ok()) << c.size(); // no route, so no waypoints
    }
}

TEST(CmapRoundTrip, OziToCmapToOzi) {
    const std::string wpt = ozi_waypoint_file(
        {build_waypoint_line(1, "Cap,Nord", degrees_text(48.5), degrees_text(-4.75)),
         build_waypoint_line(2, "SYDNEY", degrees_text(-33.858), degrees_text(151.214)),
         build_waypoint_line(3, "EQUATOR", degrees_text(0), degrees_text(-179.999))});
    const OziRead ozi = read_ozi_waypoints(wpt);
    ASSERT_EQ(ozi.rows.size(), 3u);
    const Result<CmapRead> read = read_cmap_route(*cmap_route_file("ile", ozi.rows));
    ASSERT_TRUE(read) << read.why();
    const CmapRead& back = *read;
    const OziRead again = read_ozi_waypoints(ozi_waypoint_file(back.waypoint_lines));
    ASSERT_EQ(again.rows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(again.rows[i].name, ozi.rows[i].name);
        EXPECT_EQ(again.rows[i].number, static_cast<double>(i + 1));
        // Minutes keep two decimals: within 0.005 minute.
        EXPECT_NEAR(again.rows[i].latitude, ozi.rows[i].latitude, 0.005 / 60 + 1e-6);
        EXPECT_NEAR(again.rows[i].longitude, ozi.rows[i].longitude, 0.005 / 60 + 1e-6);
    }
    // A second round trip changes nothing: the coordinate texts are a fixed point.
    const std::string first_file = *cmap_route_file("ile", again.rows);
    const Result<CmapRead> second = read_cmap_route(first_file);
    ASSERT_TRUE(second) << second.why();
    const OziRead third = read_ozi_waypoints(ozi_waypoint_file(second->waypoint_lines));
    EXPECT_EQ(*cmap_route_file("ile", third.rows), first_file);
}

} // namespace
} // namespace marivent::transfer
