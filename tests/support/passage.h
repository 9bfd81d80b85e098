// A passage written for the tests as a GPS following a route sends it: one fix a second, a GGA,
// an RMC and an RMB in that order, with their checksums, each line ended CR LF. No recorded log
// of tests/data changes its destination waypoint (each holds one destination or none), so the
// passages that need a new leg are written here.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/number_text.h"
#include "nmea/checksum.h"

namespace marivent::testing {

struct PassageSecond {
    int second = 0;          // since the passage began, at 09:30:00 UTC on 7 December 2026
    std::string course;      // RMC field 8, as the GPS writes it
    std::string speed;       // RMC field 7, knots
    std::string origin;      // RMB field 4
    std::string destination; // RMB field 5
    char status = 'A';       // RMB field 1
};

// "$" + body + "*" + checksum + CR LF.
inline std::string nmea_line(std::string_view body) {
    const unsigned char sum = nmea::nmea_checksum(body);
    const char* hex = "0123456789ABCDEF";
    return "$" + std::string(body) + '*' + hex[sum >> 4] + hex[sum & 0x0F] + "\r\n";
}

inline std::string two_digits(int n) {
    return (n < 10 ? "0" : "") + integer_text(n);
}
inline std::string three_digits(int n) {
    return (n < 100 ? "0" : "") + two_digits(n);
}

// The fix of a second: the time, and a position that moves a little every second.
inline std::string passage_utc(int second) {
    const int t = 9 * 3600 + 30 * 60 + second;
    return two_digits(t / 3600 % 24) + two_digits(t / 60 % 60) + two_digits(t % 60);
}
inline std::string passage_latitude(int second) {
    return "4751." + three_digits(second % 1000);
}
inline std::string passage_longitude(int second) {
    return "00354." + three_digits(second * 3 % 1000);
}

inline std::string fix_lines(const PassageSecond& s) {
    const std::string utc = passage_utc(s.second), lat = passage_latitude(s.second),
                      lon = passage_longitude(s.second);
    return nmea_line("GPGGA," + utc + "," + lat + ",N," + lon + ",W,1,08,0.9,3.2,M,51.0,M,,") +
           nmea_line("GPRMC," + utc + ",A," + lat + ",N," + lon + ",W," + s.speed + "," + s.course +
                     ",071226,2.1,W") +
           nmea_line("GPRMB," + std::string(1, s.status) + ",0.02,R," + s.origin + "," +
                     s.destination + ",4745.000,N,00359.000,W,2.5,217.0,6.0,V");
}

// Seven minutes under way at 6.2 knots: to WPT01 on 217 degrees; at 150 s the GPS passes WPT01
// and its next destination is WPT02; ten seconds later the boat bears away onto 260 degrees and
// keeps it; from 300 s to 359 s she steers 300 degrees, then comes back to 262.
inline std::vector<PassageSecond> leg_change_passage() {
    std::vector<PassageSecond> out;
    for (int s = 0; s < 420; ++s) {
        PassageSecond p;
        p.second = s;
        p.speed = "6.2";
        p.course = s < 160 ? "217.0" : s < 300 ? "260.4" : s < 360 ? "300.0" : "262.0";
        p.origin = s < 150 ? "DEPART" : "WPT01";
        p.destination = s < 150 ? "WPT01" : "WPT02";
        out.push_back(p);
    }
    return out;
}

} // namespace marivent::testing
