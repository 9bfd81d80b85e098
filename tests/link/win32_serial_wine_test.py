#!/usr/bin/env python3
"""The Win32 serial device on a line, under wine: a fresh wine prefix whose COM5 is a link to a
pseudo-terminal; win32_port_probe.exe opens COM5 at 4800 baud, sends a sentence and waits for a
line; this side reads the sentence on the terminal, checks the line settings wine put on it, and
answers. Then a port that is not linked is refused in French. Last, COM7 mapped to the terminal
as wine's configuration maps ports (HKLM\Software\Wine\Ports) is among the ports
win32_port_list_probe.exe lists, as the preferences would offer it (wine has no Ports-class
devices for SetupAPI: the port comes from HARDWARE\DEVICEMAP\SERIALCOMM).

    win32_serial_wine_test.py WINE PROBE.exe LIST_PROBE.exe
"""
import os
import select
import shutil
import subprocess
import sys
import tempfile
import termios
import time

wine, probe, list_probe = sys.argv[1], sys.argv[2], sys.argv[3]
apa = b"$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n"
rmc = b"$GPRMC,103016,A,4512.345,N,00512.345,E,5.23,054.7,071226,,*2E\r\n"

prefix = tempfile.mkdtemp(prefix="marivent-wine-")
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


try:
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    subprocess.run([wine, "cmd", "/c", "exit"], env=env, capture_output=True, timeout=120)
    master, slave = os.openpty()
    attrs = termios.tcgetattr(slave)  # raw, so nothing is echoed or changed on the way
    attrs[0] = attrs[1] = attrs[3] = 0
    termios.tcsetattr(slave, termios.TCSANOW, attrs)
    os.makedirs(os.path.join(prefix, "dosdevices"), exist_ok=True)
    link = os.path.join(prefix, "dosdevices", "com5")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.ttyname(slave), link)

    run = subprocess.Popen([wine, probe, "COM5", "4800,n,8,1", apa.decode(), "3"], env=env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    got = b""
    end = time.time() + 30
    while len(got) < len(apa) and time.time() < end:
        ready, _, _ = select.select([master], [], [], 0.5)
        if ready:
            got += os.read(master, 4096)
    check(got == apa, "the sentence arrives byte for byte on the terminal: %r" % got)
    speed = termios.tcgetattr(slave)
    check(speed[4] == termios.B4800 and speed[5] == termios.B4800, "the line is at 4800 baud")
    check(speed[2] & termios.CSIZE == termios.CS8 and not speed[2] & termios.PARENB
          and not speed[2] & termios.CSTOPB, "8 data bits, no parity, 1 stop bit")
    # Three lines, apart as a GPS sends them: each must come, not only the first (wine's port on
    # a pseudo-terminal ends every wait for input, which once was taken for a hang-up).
    for _ in range(3):
        os.write(master, rmc)
        time.sleep(0.4)
    out, _ = run.communicate(timeout=30)
    text = out.decode("utf-8", "replace")
    check(run.returncode == 0, "the probe ends on the lines it read (status %d)" % run.returncode)
    check(text.count("reçu : " + rmc.decode().rstrip("\r\n")) == 3,
          "the three lines read are the ones sent: %r" % text)

    refused = subprocess.run([wine, probe, "COM9", "4800,n,8,1", "x"], env=env,
                             capture_output=True, timeout=60)
    said = refused.stdout.decode("utf-8", "replace")
    check(refused.returncode == 2 and "COM9 n'existe pas" in said,
          "a port with nothing behind it is refused in French: %r" % said)

    subprocess.run([wine, "reg", "add", "HKLM\\Software\\Wine\\Ports", "/v", "COM7", "/d",
                    os.ttyname(slave), "/f"], env=env, capture_output=True, timeout=60)
    subprocess.run([shutil.which("wineserver") or "wineserver", "-k"], env=env,
                   capture_output=True)  # the ports are mapped when wine starts
    listed = subprocess.run([wine, list_probe], env=env, capture_output=True, timeout=60)
    ports = listed.stdout.decode("utf-8", "replace").splitlines()
    print("listed: %r" % ports)
    check(listed.returncode == 0 and any(p.split(" — ")[0] == "COM7" for p in ports),
          "COM7 is among the listed ports")
    check(all(p.startswith("COM") for p in ports), "only COM ports are listed")
finally:
    subprocess.run([shutil.which("wineserver") or "wineserver", "-k"],
                   env=dict(os.environ, WINEPREFIX=prefix), capture_output=True)
    shutil.rmtree(prefix, ignore_errors=True)

sys.exit(1 if failures else 0)
