// GPSBabel as a peer: it reads the OziExplorer files written here with the same coordinates, and
// the files it writes are read here with the coordinates it was given.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "common/value.h"
#include "fakes.h"
#include "transfer/cmap_route.h"
#include "transfer/ozi_files.h"

namespace marivent::transfer {
namespace {

namespace fs = std::filesystem;
using marivent::testing::read_bytes;
using marivent::testing::TempRoot;
using marivent::testing::write_bytes;

constexpr const char* gpsbabel = "/usr/bin/gpsbabel";

struct Point {
    std::string name;
    double lat, lon;
};

bool run_gpsbabel(const std::string& args) {
    const std::string command = std::string(gpsbabel) + " " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// GPSBabel's unicsv output: No,Latitude,Longitude,Name,...
std::vector<Point> read_unicsv(const std::string& text) {
    std::vector<Point> out;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line); // the column names
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string x; std::getline(fields, x, ',');) f.push_back(x);
        if (f.size() < 4) continue;
        std::string name = f[3];
        if (name.size() >= 2 && name.front() == '"') name = name.substr(1, name.size() - 2);
        out.push_back({name, numeric_value(f[1]), numeric_value(f[2])}); // "." whatever the locale
    }
    return out;
}

std::string trimmed(const std::string& s) {
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? "" : s.substr(0, end + 1);
}

// Points on both sides of the equator and of Greenwich, longitudes of 100 and more.
std::vector<Point> sample_points(int n) {
    std::vector<Point> out;
    for (int i = 0; i < n; ++i)
        out.push_back({"P" + std::to_string(i + 1), -60 + i * 2.017, -179 + i * 5.93});
    return out;
}

class GpsbabelPeer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(gpsbabel)) GTEST_SKIP() << "gpsbabel is not installed";
    }
    TempRoot dir;
};

TEST_F(GpsbabelPeer, ReadsWhatWeWrite) {
    WaypointTable rows;
    for (const auto& p : sample_points(61)) rows.push_back({0, p.name, p.lat, p.lon});
    const CmapRead route = read_cmap_route(cmap_route_file("peer", rows).bytes);
    ASSERT_TRUE(route.error.empty());
    write_bytes(dir / "peer.wpt", ozi_waypoint_file(route.waypoint_lines));
    write_bytes(dir / "peer.rte", ozi_route_file(route.waypoint_lines));
    struct Case {
        const char* args;
        const char* file;
    } cases[] = {{"-w -i ozi -f", "peer.wpt"}, {"-r -i ozi -f", "peer.rte"}};
    for (const auto& c : cases) {
        const fs::path in = dir / c.file;
        const fs::path out = dir / "out.csv";
        ASSERT_TRUE(run_gpsbabel(std::string(c.args) + " " + in.string() + " -o unicsv -F " +
                                 out.string()))
            << c.file;
        const auto theirs = read_unicsv(read_bytes(out));
        const OziRead ours = read_ozi_waypoints(read_bytes(in));
        ASSERT_EQ(theirs.size(), ours.rows.size()) << c.file;
        ASSERT_EQ(theirs.size(), 61u) << c.file;
        for (std::size_t i = 0; i < theirs.size(); ++i) {
            // GPSBabel keeps the blanks of a route-file name and drops those of a waypoint file.
            EXPECT_EQ(trimmed(theirs[i].name), trimmed(ours.rows[i].name)) << c.file << " " << i;
            EXPECT_NEAR(theirs[i].lat, ours.rows[i].latitude, 1e-6) << c.file << " " << i;
            EXPECT_NEAR(theirs[i].lon, ours.rows[i].longitude, 1e-6) << c.file << " " << i;
            EXPECT_NEAR(theirs[i].lat, rows[i].latitude, 0.005 / 60 + 1e-6);
        }
    }
}

TEST_F(GpsbabelPeer, WeReadWhatItWrites) {
    const auto points = sample_points(40);
    std::string gpx = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
                      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    auto pt = [](const char* tag, const Point& p) {
        std::ostringstream s;
        s.precision(10);
        s << "<" << tag << " lat=\"" << p.lat << "\" lon=\"" << p.lon << "\"><name>" << p.name
          << "</name></" << tag << ">\n";
        return s.str();
    };
    for (const auto& p : points) gpx += pt("wpt", p);
    gpx += "<rte><name>R</name>\n";
    for (const auto& p : points) gpx += pt("rtept", p);
    gpx += "</rte>\n<trk><name>T</name><trkseg>\n";
    for (const auto& p : points) gpx += pt("trkpt", p);
    gpx += "</trkseg></trk>\n</gpx>\n";
    write_bytes(dir / "in.gpx", gpx);

    struct Case {
        const char* flag;
        const char* file;
        bool named;
    } cases[] = {{"-w", "g.wpt", true}, {"-r", "g.rte", true}, {"-t", "g.plt", false}};
    for (const auto& c : cases) {
        const fs::path out = dir / c.file;
        ASSERT_TRUE(run_gpsbabel(std::string(c.flag) + " -i gpx -f " + (dir / "in.gpx").string() +
                                 " -o ozi -F " + out.string()))
            << c.file;
        const OziRead r = read_ozi(read_bytes(out), ozi_kind(out));
        ASSERT_EQ(r.rows.size(), points.size()) << c.file;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (c.named) {
                EXPECT_EQ(r.rows[i].name, fixed_name(points[i].name)) << c.file;
            }
            EXPECT_NEAR(r.rows[i].latitude, points[i].lat, 1e-6) << c.file << " " << i;
            EXPECT_NEAR(r.rows[i].longitude, points[i].lon, 1e-6) << c.file << " " << i;
        }
    }
}

} // namespace
} // namespace marivent::transfer
