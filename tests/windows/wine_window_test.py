#!/usr/bin/env python3
"""The window and the installer for Windows, under wine with a fresh prefix:
- the window offscreen: its screenshot the size of the Linux window's;
- the link: COM5 of the prefix is a link to a pseudo-terminal; marivent.exe --connect opens it,
  reads a recorded log written on the terminal and answers each line; what comes back is byte for
  byte what the Linux marivent-pilot gives for the same log;
- the installer run silently (/S): the programs installed and started, then the uninstaller
  (/S), which leaves nothing in the program's folder and keeps the user's journal.

    wine_window_test.py WINE_RUN WINDOWS_BIN LINUX_BIN SETUP.exe LOG
"""
import functools
import os
import re
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import termios
import time

wine_run, win_bin, linux_bin, setup, log = map(os.path.abspath, sys.argv[1:6])
failures = []
passed = 0


def check(ok, what):
    global passed
    print(("ok   " if ok else "FAIL ") + what)
    if ok:
        passed += 1
    else:
        failures.append(what)


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


prefix = tempfile.mkdtemp(prefix="marivent-wine-window-")
top = tempfile.mkdtemp(prefix="marivent-window-")
# The users' regional settings, which wine hands to Windows (the journal's date lines follow them).
env = dict(os.environ, WINEPREFIX=prefix, QT_QPA_PLATFORM="offscreen", LC_ALL="fr_FR.UTF-8",
           LANG="fr_FR.UTF-8")
wineserver = shutil.which("wineserver") or "/usr/lib/wine/wineserver"


def wine(*args, timeout=300, **kw):
    return subprocess.run([wine_run, *args], env=env, capture_output=True, timeout=timeout, **kw)


try:
    started = time.monotonic()
    wine("cmd", "/c", "exit")
    print("fresh prefix: %.0f s" % (time.monotonic() - started))

    # The window's picture, on each side.
    for side in ("linux", "windows"):
        os.makedirs(os.path.join(top, side))
    linux_png = os.path.join(top, "linux", "s.png")
    subprocess.run([os.path.join(linux_bin, "marivent"), "--root", os.path.join(top, "linux"),
                    "--screenshot", linux_png], env=env, capture_output=True, timeout=120)
    windows_png = os.path.join(top, "windows", "s.png")
    shot = wine(os.path.join(win_bin, "marivent.exe"), "--root", winpath(top + "/windows"),
                "--screenshot", winpath(windows_png))
    check(shot.returncode == 0 and png_size(windows_png) is not None,
          "marivent.exe --screenshot writes a PNG (status %d)" % shot.returncode)
    check(png_size(windows_png) == png_size(linux_png),
          "the window the same size on Windows %s as on Linux %s" % (
              png_size(windows_png), png_size(linux_png)))
    with open(os.path.join(top, "windows", "journal.txt"), "rb") as f:
        header = f.read()
    with open(os.path.join(top, "linux", "journal.txt"), "rb") as f:
        check(header == f.read(), "the journal's first lines the same bytes")

    # The link over COM5.
    with open(log, "rb") as f:
        lines = [l for l in re.split(rb"[\r\n]+", f.read()) if l]  # CR LF, LF or CR alone
    # Until the window has the port open, an RMB is written again and again; once it answers,
    # an RMB at status V stops the steering, and the log follows. marivent-pilot is given the
    # same: an RMB, the one at V, the log; what it says for the log is what the window must send.
    probe = b"$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20\r\n"
    body = b"GPRMB,V,,,,,,,,,,,,V"
    stop = b"$%s*%02X\r\n" % (body, functools.reduce(lambda a, c: a ^ c, body, 0))
    fed = b"".join(l + b"\r\n" for l in lines)

    def pilot(data):
        return subprocess.run([os.path.join(linux_bin, "marivent-pilot")], input=data,
                              capture_output=True, timeout=60).stdout

    before = pilot(b"\r\n" + probe + stop)
    want = pilot(b"\r\n" + probe + stop + fed)
    check(want.startswith(before) and len(want) > len(before),
          "marivent-pilot steers on the log after an RMB at V")
    want = want[len(before):]
    master, slave = os.openpty()
    attrs = termios.tcgetattr(slave)
    attrs[0] = attrs[1] = attrs[3] = 0  # raw: nothing echoed or changed on the way
    termios.tcsetattr(slave, termios.TCSANOW, attrs)
    link = os.path.join(prefix, "dosdevices", "com5")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)
    root = os.path.join(top, "link")
    os.makedirs(root)
    window = subprocess.Popen([wine_run, os.path.join(win_bin, "marivent.exe"), "--root",
                               winpath(root), "--no-clock", "--com", "1=COM5", "--connect"],
                              env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    back = b""

    def read_for(seconds):
        global back
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            ready, _, _ = select.select([master], [], [], 0.05)
            if ready:
                back += os.read(master, 4096)

    # The window opens the port: the first lines are written again until something comes back.
    opened = time.monotonic() + 60
    while not back and time.monotonic() < opened:
        read_for(0.5)
        if back:
            break
        os.write(master, probe)
    check(bool(back), "the window on COM5 answers an RMB line")
    os.write(master, stop)
    read_for(1)
    back = b""
    # The log at about 4,800 baud's pace: a line, then the time its bytes take on the wire.
    for l in lines:
        os.write(master, l + b"\r\n")
        read_for((len(l) + 2) / float(os.environ.get("PACE", "480")))
    end = time.monotonic() + 20
    while len(back) < len(want) and time.monotonic() < end:
        read_for(0.2)
    read_for(0.5)
    window.terminate()
    try:
        window.wait(20)
    except subprocess.TimeoutExpired:
        window.kill()
    check(back == want, "the autopilot sentences over COM5 byte for byte those of marivent-pilot "
          "(%d bytes, %d expected; first difference at %s)" % (
              len(back), len(want),
              next((i for i, (a, b) in enumerate(zip(back, want)) if a != b),
                   min(len(back), len(want)))))
    os.close(master)
    os.close(slave)

    # The installer, silent, into a folder of its own; the programs started from there.
    folder = "C:\\Marivent-essai"
    unix_folder = os.path.join(prefix, "drive_c", "Marivent-essai")
    started = time.monotonic()
    run = wine(setup, "/S", "/D=" + folder)
    subprocess.run([wineserver, "-w"], env=env, timeout=300)
    print("installer: %.0f s" % (time.monotonic() - started))
    installed = sorted(os.listdir(unix_folder)) if os.path.isdir(unix_folder) else []
    check(run.returncode == 0 and {"marivent.exe", "marivent-pilot.exe", "marivent-convert.exe",
                                   "desinstaller.exe"} <= set(installed),
          "the installer puts the programs and the uninstaller in %s (%s)" % (folder, installed))
    pilot = wine(folder + "\\marivent-pilot.exe", stdin=open(log, "rb")).stdout
    check(pilot == subprocess.run([os.path.join(linux_bin, "marivent-pilot")], stdin=open(log, "rb"),
                                  capture_output=True).stdout,
          "the installed marivent-pilot.exe gives the Linux program's bytes")
    # The installed window on its default ROOT: the user's journal in the local data folder.
    user_png = os.path.join(top, "installed.png")
    shot = wine(folder + "\\marivent.exe", "--screenshot", winpath(user_png))
    check(shot.returncode == 0 and png_size(user_png) == png_size(linux_png),
          "the installed marivent.exe starts and draws the window")
    journals = [os.path.join(d, "journal.txt") for d, _, files in
                os.walk(os.path.join(prefix, "drive_c", "users")) if "journal.txt" in files]
    check(len(journals) == 1, "the installed window keeps its journal in the user's folder %s" %
          journals)

    started = time.monotonic()
    wine(folder + "\\desinstaller.exe", "/S")
    subprocess.run([wineserver, "-w"], env=env, timeout=300)  # it runs from a copy of itself
    print("uninstaller: %.0f s" % (time.monotonic() - started))
    left = []
    for d, dirs, files in os.walk(unix_folder):
        left += [os.path.join(d, f) for f in dirs + files]
    check(not os.path.exists(unix_folder) and not left,
          "the uninstaller leaves nothing of the program (%s)" % left[:5])
    menu = [os.path.join(d, f) for d, _, files in os.walk(os.path.join(prefix, "drive_c"))
            for f in files if f == "Marivent.lnk"]
    check(not menu, "the menu's shortcut removed %s" % menu)
    check(all(os.path.exists(j) for j in journals) and journals,
          "the user's journal kept after the uninstaller")
finally:
    subprocess.run([wineserver, "-k"], env=env, capture_output=True)
    shutil.rmtree(prefix, ignore_errors=True)
    shutil.rmtree(top, ignore_errors=True)

print("window and installer on wine: %d passed, %d failed" % (passed, len(failures)))
sys.exit(1 if failures else 0)
