// A 10 Hz GPS on a passage: GGA, RMC, RMB, GSA and GSV for each fix of a boat sailing a loop of
// waypoints off Concarneau and the Glénan at about 6 knots, weaving slowly across the track so the
// cross-track error and its side change. Shared by the benchmarks that feed the window, the pilot
// and gpsdecode. Numbers are written through number_text, so the sentences are the same under
// every regional setting (Qt hands the user's locale to the C library).
#pragma once
#include <array>
#include <chrono>
#include <cmath>
#include <string>

#include "common/number_text.h"
#include "nmea/apa_sentence.h"
#include "nmea/checksum.h"

namespace passage {

using namespace std::chrono;

inline std::string with_checksum(const std::string& body) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const unsigned char sum = marivent::nmea::nmea_checksum(body);
    return body + '*' + hex[sum >> 4] + hex[sum & 0x0F] + "\r\n";
}

// `value` as a whole number of at least `width` digits.
inline std::string padded(long long value, std::size_t width) {
    std::string s = marivent::integer_text(value);
    return s.size() < width ? std::string(width - s.size(), '0') + s : s;
}

// `value` with `decimals` decimals, padded with zeros to `width` characters ("%0*.*f").
inline std::string padded_fixed(double value, std::size_t width, int decimals) {
    std::string s = marivent::fixed_text(value, decimals);
    return s.size() < width ? std::string(width - s.size(), '0') + s : s;
}

struct Waypoint {
    const char* id;
    double lat, lon;
};
inline constexpr std::array<Waypoint, 5> waypoints{{{"001", 47.8700, -3.9150},
                                                    {"002", 47.7800, -3.9700},
                                                    {"003", 47.7200, -4.0000},
                                                    {"004", 47.7300, -3.8300},
                                                    {"005", 47.8100, -3.8500}}};

struct Boat {
    double lat = waypoints[0].lat, lon = waypoints[0].lon;
    std::size_t from = 0, to = 1;
    double speed = 6, course = 0;
    long waypoint_changes = 0;

    // North and east offsets in nautical miles from (lat0, lon0).
    static void offset(double lat0, double lon0, double lat, double lon, double& north,
                       double& east) {
        north = (lat - lat0) * 60;
        east = (lon - lon0) * 60 * std::cos(lat0 * M_PI / 180);
    }
    double bearing_to(double& range) const {
        double n, e;
        offset(lat, lon, waypoints[to].lat, waypoints[to].lon, n, e);
        range = std::hypot(n, e);
        double b = std::atan2(e, n) * 180 / M_PI;
        return b < 0 ? b + 360 : b;
    }
    // Signed distance off the leg, positive to its left (steer right).
    double cross_track() const {
        const Waypoint& a = waypoints[from];
        const Waypoint& b = waypoints[to];
        double dn, de, pn, pe;
        offset(a.lat, a.lon, b.lat, b.lon, dn, de);
        offset(a.lat, a.lon, lat, lon, pn, pe);
        return (de * pn - dn * pe) / std::hypot(dn, de);
    }
    // One tenth of a second further, `seconds_elapsed` into the passage.
    void step(double seconds_elapsed) {
        double range;
        bearing_to(range);
        if (range < 0.05) {
            from = to;
            to = (to + 1) % waypoints.size();
            ++waypoint_changes;
        }
        const double t = seconds_elapsed;
        course = std::fmod(bearing_to(range) + 8 * std::sin(t / 120) + 360, 360);
        speed = 6 + 0.5 * std::sin(t / 300);
        const double miles = speed * 0.1 / 3600;
        lat += miles * std::cos(course * M_PI / 180) / 60;
        lon += miles * std::sin(course * M_PI / 180) / 60 / std::cos(lat * M_PI / 180);
    }
};

// ddmm.mmmm / dddmm.mmmm and the hemisphere.
inline std::string angle_text(double deg, bool latitude, char& hemisphere) {
    hemisphere = latitude ? (deg < 0 ? 'S' : 'N') : (deg < 0 ? 'W' : 'E');
    deg = std::fabs(deg);
    const int whole = static_cast<int>(deg);
    return padded(whole, latitude ? 2 : 3) + padded_fixed((deg - whole) * 60, 7, 4);
}

// The RMB fields the decoder keeps, as sent, and the autopilot sentence they make.
struct RouteFields {
    std::string xte, side, bearing, dest;
    std::string apa;
};

struct Fix {
    std::array<std::string, 5> lines; // GGA, RMC, RMB, GSA, GSV, each ending in CR LF
    RouteFields route;
};

// The sentences of fix number `fix_number`, taken at `utc`.
inline Fix make_fix(const Boat& b, long long fix_number, sys_time<milliseconds> utc) {
    using marivent::fixed_text;
    const auto day = floor<days>(utc);
    const year_month_day ymd{day};
    const hh_mm_ss hms{utc - day};
    const std::string time = padded(hms.hours().count(), 2) + padded(hms.minutes().count(), 2) +
                             padded(hms.seconds().count(), 2) + "." +
                             padded(hms.subseconds().count() / 10, 2);
    const std::string date = padded(unsigned(ymd.day()), 2) + padded(unsigned(ymd.month()), 2) +
                             padded(int(ymd.year()) % 100, 2);
    char ns, ew, wns, wew;
    const std::string lat = angle_text(b.lat, true, ns), lon = angle_text(b.lon, false, ew);
    const Waypoint& w = waypoints[b.to];
    const std::string wlat = angle_text(w.lat, true, wns), wlon = angle_text(w.lon, false, wew);
    double range;
    const double bearing = b.bearing_to(range);
    const double xte = b.cross_track();
    const double vmg = b.speed * std::cos((b.course - bearing) * M_PI / 180);
    Fix f;
    f.lines[0] =
        with_checksum("$GPGGA," + time + "," + lat + "," + ns + "," + lon + "," + ew + ",1," +
                      padded(7 + fix_number / 3000 % 4, 2) + ",0.9," +
                      fixed_text(3 + std::sin(double(fix_number) / 50), 1) + ",M,51.0,M,,");
    f.lines[1] = with_checksum("$GPRMC," + time + ",A," + lat + "," + ns + "," + lon + "," + ew +
                               "," + fixed_text(b.speed, 1) + "," + fixed_text(b.course, 1) + "," +
                               date + ",2.1,W,A");
    const std::string xte_text = fixed_text(std::fabs(xte), 2);
    const std::string bearing_text = padded_fixed(bearing, 5, 1);
    f.route = {xte_text, xte > 0 ? "R" : "L", bearing_text, w.id, {}};
    f.route.apa =
        marivent::nmea::apa_sentence(f.route.xte, f.route.side, f.route.bearing, f.route.dest);
    f.lines[2] = with_checksum("$GPRMB,A," + xte_text + "," + f.route.side + "," +
                               waypoints[b.from].id + "," + w.id + "," + wlat + "," + wns + "," +
                               wlon + "," + wew + "," + fixed_text(range, 1) + "," + bearing_text +
                               "," + fixed_text(vmg, 1) + "," + (range < 0.1 ? 'A' : 'V') + ",A");
    f.lines[3] = with_checksum("$GPGSA,A,3,04,05,09,12,24,25,29,,,,,,1.8,0.9,1.6");
    const long long part = fix_number % 3 + 1;
    const long long snr = 30 + fix_number / 7 % 15;
    f.lines[4] = with_checksum(
        "$GPGSV,3," + padded(part, 1) + ",11," + padded(part * 4, 2) + "," + padded(20 + part, 2) +
        "," + padded(40 * part, 3) + "," + padded(snr, 2) + "," + padded(part * 4 + 1, 2) +
        ",41,270," + padded(snr - 3, 2) + "," + padded(part * 4 + 2, 2) + ",15,010," +
        padded(snr + 2, 2) + "," + padded(part * 4 + 3, 2) + ",06,292," + padded(snr - 8, 2));
    return f;
}

// A damaged line of three kinds in turn: a wrong checksum, the start of an RMB joined to a whole
// GGA with the GGA's checksum, a control character inside a GGA.
inline std::string damage(const Fix& f, long kind) {
    std::string gga = f.lines[0];
    switch (kind % 3) {
    case 0: {
        std::string s = gga;
        const std::size_t star = s.rfind('*');
        s[star + 2] = s[star + 2] == '0' ? '1' : '0';
        return s;
    }
    case 1:
        return f.lines[2].substr(0, 20) + gga;
    default:
        gga.insert(gga.size() / 2, 1, '\x01');
        return gga;
    }
}

// The passage from its start: each call gives the next fix and moves the boat a tenth of a second.
class Passage {
  public:
    explicit Passage(sys_seconds start) : start_(start) {}
    Fix next() {
        Fix f = make_fix(boat_, fixes_, utc());
        ++fixes_;
        boat_.step(static_cast<double>(fixes_) / 10);
        return f;
    }
    sys_time<milliseconds> utc() const { return start_ + milliseconds{fixes_ * 100}; }
    long long fixes() const { return fixes_; }
    const Boat& boat() const { return boat_; }

  private:
    sys_seconds start_;
    Boat boat_;
    long long fixes_ = 0;
};

} // namespace passage
