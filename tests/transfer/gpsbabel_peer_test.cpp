// GPSBabel as a peer: it reads the OziExplorer files written here with the same coordinates, and
// the files it writes are read here with the coordinates it was given. It reads the journal's GPX
// track with the positions and UTC times of the entries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "common/format.h"
#include "common/number_text.h"
#include "common/value.h"
#include "fakes.h"
#include "journal/journal_export.h"
#include "journal/journal_file.h"
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
        for (std::string x; std::getline(fields, x, ',');)
            f.push_back(x);
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
    for (const auto& p : sample_points(61))
        rows.push_back({0, p.name, p.lat, p.lon});
    const Result<CmapRead> read = read_cmap_route(*cmap_route_file("peer", rows));
    ASSERT_TRUE(read) << read.why();
    const CmapRead& route = *read;
    write_bytes(dir / "peer.wpt", ozi_waypoint_file(route.waypoint_lines));
    write_bytes(dir / "peer.rte", *ozi_route_file(route.waypoint_lines));
    struct Case {
        const char* args;
        const char* file;
    } cases[] = {{"-w -i ozi -f", "peer.wpt"}, {"-r -i ozi -f", "peer.rte"}};
    for (const auto& c : cases) {
        const fs::path in = dir / c.file;
        const fs::path out = dir / "out.csv";
        ASSERT_TRUE(
            run_gpsbabel(std::string(c.args) + " " + in.string() + " -o unicsv -F " + out.string()))
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
    for (const auto& p : points)
        gpx += pt("wpt", p);
    gpx += "<rte><name>R</name>\n";
    for (const auto& p : points)
        gpx += pt("rtept", p);
    gpx += "</rte>\n<trk><name>T</name><trkseg>\n";
    for (const auto& p : points)
        gpx += pt("trkpt", p);
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

// The fields of a CSV line, with quotes as GPSBabel writes them around text holding commas.
std::vector<std::string> csv_fields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

std::string two(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

TEST_F(GpsbabelPeer, ReadsTheJournalTrackWithItsPositionsAndUtcTimes) {
    // A passage written by the window's entry writer under French settings, the computer clock
    // 3 h 30 behind UTC, across midnight: 2 h 40 steps from 6 December 20:10 UTC.
    constexpr double offset = -3.5;
    marivent::testing::FrenchRegional french;
    marivent::testing::FrozenClock clock;
    marivent::journal::JournalFile journal(dir / "journal.txt", french, clock);
    ASSERT_TRUE(journal.prepare().usable);
    struct Sent {
        std::string date, time, lat_text, lon_text, desc;
        double lat, lon;
    };
    std::vector<Sent> sent;
    for (int i = 0; i < 30; ++i) {
        const long utc = 20 * 60 + 10 + i * 160L; // minutes from 6 December 00:00 UTC
        const long local = utc - 210;
        const int utc_day = 6 + static_cast<int>(utc / 1440),
                  local_day = 6 + static_cast<int>(local / 1440);
        const int utc_minute = static_cast<int>(utc % 1440),
                  local_minute = static_cast<int>(local % 1440);
        clock.time = {{2026, 12, local_day}, local_minute / 60, local_minute % 60, 0};
        const std::string lat = two(10 + i) + two(i * 2) + ".1234";
        const std::string lon = "0" + two(5 + i * 3) + two(59 - i) + ".5";
        const double speed = i * 0.7;
        const std::string vi = marivent::format_number(speed, "###.#", french.decimal_separator());
        const std::string name = i % 2 ? "Ile d'Yeu & <Joinville>" : "";
        ASSERT_TRUE(journal
                        .append_entry({two(utc_minute / 60) + two(utc_minute % 60) + "05",
                                       i % 3 ? "N" : "S", lat, i % 4 ? "W" : "E", lon, vi,
                                       std::to_string(i * 11), name})
                        .written);
        sent.push_back({"2026/12/" + two(utc_day),
                        two(utc_minute / 60) + ":" + two(utc_minute % 60) + ":00", lat, lon,
                        marivent::general_text(std::round(speed * 10) / 10), 0, 0});
        Sent& s = sent.back();
        s.lat = (10 + i + (i * 2 + 0.1234) / 60) * (i % 3 ? 1 : -1);
        s.lon = (5 + i * 3 + (59 - i + 0.5) / 60) * (i % 4 ? -1 : 1);
        s.desc +=
            " nd, cap " + std::to_string(i * 11) + "°" + (name.empty() ? "" : ", vers " + name);
    }
    ASSERT_EQ(sent.back().date, "2026/12/10"); // four midnights

    const auto read = marivent::journal::read_journal(
        read_bytes(dir / "journal.txt"), {offset, marivent::journal::default_date_formats()});
    write_bytes(dir / "journal.gpx", marivent::journal::gpx_track(read, "journal"));
    const fs::path out = dir / "back.csv";
    ASSERT_TRUE(run_gpsbabel("-t -i gpx -f " + (dir / "journal.gpx").string() +
                             " -o unicsv,utc=0 -F " + out.string()));

    // No,Latitude,Longitude,Notes,Date,Time
    std::istringstream in(read_bytes(out));
    std::string line;
    std::getline(in, line);
    const auto names = csv_fields(line);
    ASSERT_EQ(names.size(), 6u) << line;
    EXPECT_EQ(names[3], "Notes");
    EXPECT_EQ(names[4], "Date");
    EXPECT_EQ(names[5], "Time");
    std::size_t k = 0;
    for (; std::getline(in, line); ++k) {
        ASSERT_LT(k, sent.size());
        const auto f = csv_fields(line);
        ASSERT_EQ(f.size(), 6u) << line;
        EXPECT_NEAR(numeric_value(f[1]), sent[k].lat, 1e-6) << k << " " << sent[k].lat_text;
        EXPECT_NEAR(numeric_value(f[2]), sent[k].lon, 1e-6) << k << " " << sent[k].lon_text;
        EXPECT_EQ(f[4], sent[k].date) << k;
        EXPECT_EQ(f[5], sent[k].time) << k;
        EXPECT_EQ(f[3], "vitesse " + sent[k].desc) << k;
    }
    EXPECT_EQ(k, sent.size());
}

} // namespace
} // namespace marivent::transfer
