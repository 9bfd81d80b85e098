#!/usr/bin/env python3
"""The Windows programs under wine against the Linux ones, on every file of tests/data:
marivent-pilot.exe's standard output, standard error and exit status the same bytes as
marivent-pilot's, with and without --tous-emetteurs and with the APB + RMB + XTE set, on each
NMEA log; marivent-convert.exe's files
the same bytes as marivent-convert's, from each OziExplorer file to C-Map and back, and from a
journal to GPX, CSV and PDF.

    same_output_test.py WINE_RUN WINDOWS_BIN LINUX_BIN DATA_DIR
"""
import os
import subprocess
import sys
import tempfile

wine_run, win_bin, linux_bin, data = map(os.path.abspath, sys.argv[1:5])
failures = []
checked = 0


def check(ok, what):
    global checked
    checked += 1
    if not ok:
        print("FAIL " + what)
        failures.append(what)


def run(cmd, stdin=None, cwd=None):
    with open(stdin, "rb") if stdin else open(os.devnull, "rb") as f:
        p = subprocess.run(cmd, stdin=f, capture_output=True, cwd=cwd, timeout=600)
    return p.returncode, p.stdout, p.stderr


def windows(program, *args):
    return [wine_run, os.path.join(win_bin, program + ".exe"), *args]


def linux(program, *args):
    return [os.path.join(linux_bin, program), *args]


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# marivent-pilot: every log, as it is.
logs = sorted(os.listdir(os.path.join(data, "nmea")))
for name in logs:
    path = os.path.join(data, "nmea", name)
    for options in ([], ["--tous-emetteurs"],
                    ["--tous-emetteurs", "--pilote", "apb+rmb+xte", "--relevement", "magnetique",
                     "--declinaison=2,5W", "--emetteur", "GP"]):
        want = run(linux("marivent-pilot", *options), stdin=path)
        got = run(windows("marivent-pilot", *options), stdin=path)
        check(got == want, "marivent-pilot %s %s: Windows %s, Linux %s" % (
            " ".join(options), name, (got[0], len(got[1]), got[2][:200]),
            (want[0], len(want[1]), want[2][:200])))


def files_of(folder):
    out = {}
    for f in sorted(os.listdir(folder)):
        with open(os.path.join(folder, f), "rb") as h:
            out[f] = h.read()
    return out


ozi_files = sorted(os.listdir(os.path.join(data, "ozi")))
journal = (b"Journal de bord\r\n\r\n"
           b"31/12/2025\r\n"
           b"22:00 N4700.000 W00300.000  5,0 10  A \r\n"
           b"23:30 N4730.0000 W00330.0000  5,2 54  WPT01 \r\n"
           b"01/01/2026\r\n"
           b"00:10 N4701.500 W00302.250 12,5 359  \xc9toile \r\n"
           b"ligne chang\xe9e \xe0 la main\r\n"
           b"00:20 Remarque : 2 ris pris, vent 25 n\x9cuds\r\n"
           b"00:30 N4702.000 W00303.000  6,1 210  \xc9toile  (changement de cap)\r\n"
           b"00:35 Correction de la ligne 5 : cap 64\r\n")
with tempfile.TemporaryDirectory() as top:
    sides = {}
    for side in ("linux", "windows"):
        folder = os.path.join(top, side)
        os.makedirs(folder)
        for name in ozi_files:
            with open(os.path.join(data, "ozi", name), "rb") as src, \
                    open(os.path.join(folder, name), "wb") as dst:
                dst.write(src.read())
        with open(os.path.join(folder, "journal.txt"), "wb") as f:
            f.write(journal)
        sides[side] = folder

    def both(*args):
        """The same conversion on each side; the statuses and the messages (each side's folder
        named the same) must agree."""
        out = {}
        for side, folder in sides.items():
            if side == "linux":
                cmd = linux("marivent-convert", *[a.replace("@", folder + "/") for a in args])
            else:
                cmd = windows("marivent-convert",
                              *[a.replace("@", winpath(folder) + "\\") for a in args])
            status, so, se = run(cmd, cwd=folder)
            shown = folder + "/" if side == "linux" else winpath(folder) + "\\"
            so = so.replace(shown.encode(), b"@")
            se = se.replace(shown.encode(), b"@")
            out[side] = (status, so, se)
        check(out["linux"] == out["windows"], "marivent-convert %s: Windows %s, Linux %s" % (
            " ".join(args), out["windows"], out["linux"]))

    for name in ozi_files:
        both("ozi2cmap", "@" + name, "--force")
    cmap = [f for f in sorted(os.listdir(sides["linux"])) if "." not in f]
    for name in cmap:
        both("cmap2ozi", "@" + name, "--route", "--waypoints", "-o", "@", "--force")
    both("journal2gpx", "@journal.txt", "--force")
    both("journal2csv", "@journal.txt", "--force")
    both("journal2csv", "@journal.txt", "-o", "@fichier.csv", "--decalage", "2", "--force")
    both("journal2pdf", "@journal.txt", "--force")

    linux_files, windows_files = files_of(sides["linux"]), files_of(sides["windows"])
    check(sorted(linux_files) == sorted(windows_files),
          "the same files written: Windows %s, Linux %s" % (sorted(windows_files),
                                                            sorted(linux_files)))
    for name, content in linux_files.items():
        check(windows_files.get(name) == content, "%s: the same bytes" % name)
    print("files compared: %d (%d written by the conversions)" % (
        len(linux_files), len(linux_files) - len(ozi_files) - 1))

print("same output: %d passed, %d failed" % (checked - len(failures), len(failures)))
sys.exit(1 if failures else 0)
