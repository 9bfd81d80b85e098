#!/usr/bin/env python3
"""Writes data/demo_route.nmea: a boat leaving Concarneau for Les Glenan at about 6 knots, one
second per group of GGA, RMC and RMB sentences. For the first 30 seconds no route is active (RMB
status V), then the GPS follows the route (status A)."""
import math, sys

WAYPOINTS = [("CONCARN", 47.8600, -3.9150), ("BEGMEIL", 47.8200, -3.9600),
             ("GLENAN", 47.7250, -3.9950)]
SPEED_KN = 6.2
SECONDS = 900
START = (9, 30, 0)  # UTC
DATE = "070626"


def checksum(body):
    x = 0
    for c in body.encode("ascii"):
        x ^= c
    return "%02X" % x


def sentence(body):
    return "$%s*%s\r\n" % (body, checksum(body))


def ddmm(value, degree_digits):
    v = abs(value)
    d = int(v)
    m = (v - d) * 60
    return "%0*d%06.3f" % (degree_digits, d, m)


def bearing_nm(a, b):
    dlat = (b[0] - a[0]) * 60
    dlon = (b[1] - a[1]) * 60 * math.cos(math.radians((a[0] + b[0]) / 2))
    dist = math.hypot(dlat, dlon)
    brg = (math.degrees(math.atan2(dlon, dlat)) + 360) % 360
    return brg, dist


def main(path):
    out = []
    pos = [WAYPOINTS[0][1], WAYPOINTS[0][2]]
    leg = 1
    for t in range(SECONDS):
        h, m, s = START
        total = h * 3600 + m * 60 + s + t
        hhmmss = "%02d%02d%02d" % (total // 3600, total // 60 % 60, total % 60)
        origin, dest = WAYPOINTS[leg - 1], WAYPOINTS[leg]
        brg, dist = bearing_nm(pos, dest[1:])
        if dist < 0.05 and leg + 1 < len(WAYPOINTS):
            leg += 1
            origin, dest = WAYPOINTS[leg - 1], WAYPOINTS[leg]
            brg, dist = bearing_nm(pos, dest[1:])
        # A slow weave across the track, as a helmsman steers.
        course = (brg + 6 * math.sin(t / 40.0)) % 360
        step = SPEED_KN / 3600.0
        pos[0] += step * math.cos(math.radians(course)) / 60
        pos[1] += step * math.sin(math.radians(course)) / 60 / math.cos(math.radians(pos[0]))
        leg_brg, _ = bearing_nm(origin[1:], dest[1:])
        xte = dist * math.sin(math.radians(brg - leg_brg))
        lat, lon = ddmm(pos[0], 2), ddmm(pos[1], 3)
        out.append(sentence("GPGGA,%s.00,%s,N,%s,W,1,08,0.9,3.2,M,51.0,M,," % (hhmmss, lat, lon)))
        out.append(sentence("GPRMC,%s.00,A,%s,N,%s,W,%.1f,%05.1f,%s,2.1,W" %
                            (hhmmss, lat, lon, SPEED_KN + 0.3 * math.sin(t / 17.0), course, DATE)))
        if t < 30:
            out.append(sentence("GPRMB,V,,,,,,,,,,,,V"))
        else:
            vmg = SPEED_KN * math.cos(math.radians(course - brg))
            out.append(sentence("GPRMB,A,%.2f,%s,%s,%s,%s,N,%s,W,%05.1f,%05.1f,%04.1f,%s" % (
                abs(xte), "R" if xte > 0 else "L", origin[0], dest[0], ddmm(dest[1], 2),
                ddmm(dest[2], 3), min(dist, 999.9), brg, vmg, "A" if dist < 0.05 else "V")))
    with open(path, "w", newline="") as f:
        f.write("".join(out))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "data/demo_route.nmea")
