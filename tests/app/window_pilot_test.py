#!/usr/bin/env python3
"""The window as a user starts it, its pilot set to APB + RMB + XTE, magnetic, talker GP in the
settings file: a recorded GPS written on a pseudo-terminal comes back as the same bytes
marivent-pilot gives with the same options, and two NMEA parsers of other authors (the ones
scripts/install-deps.sh installs) read the sentences it sent: the bearing magnetic from the
GPS's own variation (53.0 T, 4.9 E: 48.1 M), the cross-track error, the destination.
    window_pilot_test.py PATH/TO/marivent PATH/TO/marivent-pilot LOG PARSERS_DIR
"""
import json
import os
import pty
import select
import struct
import subprocess
import sys
import tempfile
import time
import tty

PILOT_OPTIONS = ["--pilote", "apb+rmb+xte", "--relevement", "magnetique", "--declinaison",
                 "2,5W", "--emetteur", "GP"]

# Each sentence read by both parsers: what Signal K's delta holds, and nmea-simple's fields.
PARSE = r"""
const [dir] = process.argv.slice(1);
const SignalK = require(require.resolve('@signalk/nmea0183-signalk', { paths: [dir] }));
const simple = require(require.resolve('nmea-simple', { paths: [dir] }));
const lines = require('fs').readFileSync(0, 'latin1').split('\r\n').filter((l) => l);
const out = lines.map((line) => {
  const delta = new SignalK().parse(line);
  const sk = {};
  if (delta) for (const u of delta.updates) for (const v of u.values) sk[v.path] = v.value;
  let ns = null;
  try { ns = simple.parseNmeaSentence(line); } catch (e) { ns = { error: String(e.message) }; }
  return { line, sk: delta ? sk : null, ns };
});
process.stdout.write(JSON.stringify(out));
"""


def record(text):
    data = text.encode("ascii")
    return (struct.pack("<H", len(data)) + data).ljust(128, b"\0")


def settings():
    port = struct.pack("<HH", 2, 1).ljust(128, b"\0")
    records = [record("30"), record("0"), record("c:\\oziexplorer\\data"),
               record("c:\\cmapecs\\routes"), port, record("0")] + [record("")] * 4
    records += [record("apb+rmb+xte"), record("magnetique"), record("2,5W"), record("GP")]
    return b"".join(records)


def window_output(program, log):
    master, slave = pty.openpty()
    device = os.ttyname(slave)
    tty.setraw(slave)
    os.close(slave)
    os.set_blocking(master, False)
    back = b""
    with tempfile.TemporaryDirectory() as root:
        with open(os.path.join(root, "journlog.txt"), "wb") as f:
            f.write(settings())
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        window = subprocess.Popen([program, "--root", root, "--no-clock", "--com", "1=" + device,
                                   "--connect"], env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        try:
            # Until the port is open: a line ending the window answers nothing to.
            time.sleep(1.5)
            todo = b"\r\n" + log
            quiet_since = None
            while True:
                if todo:
                    try:
                        n = os.write(master, todo[:96])  # about 4,800 baud's pace
                        todo = todo[n:]
                    except OSError:
                        pass
                ready, _, _ = select.select([master], [], [], 0.2)
                if ready:
                    try:
                        back += os.read(master, 4096)
                        quiet_since = None
                        continue
                    except OSError:
                        pass
                if not todo:
                    quiet_since = quiet_since or time.monotonic()
                    if time.monotonic() - quiet_since > 2:
                        break
        finally:
            window.terminate()
            window.wait(10)
            os.close(master)
    return back


def main():
    program, pilot, log_path, parsers = sys.argv[1:5]
    if not os.path.isfile(os.path.join(parsers, "installed")):
        print("the NMEA parsers are not installed in %s: run scripts/install-deps.sh" % parsers)
        return 1
    with open(log_path, "rb") as f:
        # As a GPS sends it, each line ended by CR LF (the window takes a line from its LF on).
        log = b"".join(line + b"\r\n" for line in f.read().splitlines())
    failures = []
    checked = 0

    def check(ok, what):
        nonlocal checked
        checked += 1
        if not ok:
            print("FAIL " + what)
            failures.append(what)

    back = window_output(program, log)
    want = subprocess.run([pilot] + PILOT_OPTIONS, input=b"\r\n" + log, capture_output=True,
                          check=True).stdout
    check(want.count(b"$GPAPB") == 7, "marivent-pilot: %d APB" % want.count(b"$GPAPB"))
    check(back == want, "the window sent %r\nmarivent-pilot gives %r" % (back[:400], want[:400]))

    parsed = json.loads(subprocess.run(["node", "-e", PARSE, parsers], input=back,
                                       capture_output=True, check=True).stdout)
    check(len(parsed) == 21, "%d sentences read" % len(parsed))
    for p in parsed:
        line, sk, ns = p["line"], p["sk"], p["ns"]
        check(sk is not None and sk, "Signal K read nothing of " + line)
        if sk is None:
            continue
        xte = sk.get("navigation.courseRhumbline.crossTrackError")
        check(xte is not None and abs(xte - 0.03 * 1852) < 0.01, "cross-track %r in %s" % (xte, line))
        if line.startswith("$GPAPB"):
            bearing = sk.get("navigation.courseRhumbline.nextPoint.bearingMagnetic")
            check(bearing is not None and 47.5 < bearing * 57.29577951308232 < 48.5,
                  "APB magnetic bearing %r in %s" % (bearing, line))
            check("navigation.courseRhumbline.nextPoint.bearingTrue" not in sk,
                  "APB read as true: " + line)
            check(sk.get("navigation.courseRhumbline.nextPoint.ID") == "Fl.W.3s",
                  "APB destination in " + line)
            check("error" not in ns and ns.get("steerDir") == "L" and
                  ns.get("bearingDestType") == "M" and ns.get("headingDestType") == "M" and
                  47.5 < ns.get("bearing2Dest", 0) < 48.5 and ns.get("waypoint") == "Fl.W.3s",
                  "nmea-simple on %s: %r" % (line, ns))
        elif line.startswith("$GPRMB"):
            bearing = sk.get("navigation.courseRhumbline.nextPoint.bearingTrue")
            check(bearing is not None and 52.5 < bearing * 57.29577951308232 < 53.5,
                  "RMB true bearing %r in %s" % (bearing, line))
        else:
            check(line.startswith("$GPXTE"), "unexpected sentence " + line)
    print("window pilot: %d passed, %d failed" % (checked - len(failures), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
