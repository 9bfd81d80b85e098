#!/usr/bin/env python3
"""The program started with --connect steers the autopilot without a menu action: an RMB written on
a pseudo-terminal's GPS side comes back as its APA sentence. Without the option the port stays
closed and nothing comes back.
    connect_test.py PATH/TO/marivent
"""
import os
import pty
import select
import subprocess
import sys
import tempfile
import time
import tty

RMB = b"$GPRMB,A,0.66,L,003,004,4917.24,N,12309.57,W,001.3,052.5,000.5,V*20"
APA = b"$AGAPA,A,A,0.66,L,N,A,A,052.5,T,004*06\r\n"


def run(program, connect, seconds):
    """What comes back on the GPS side while RMB lines are written for `seconds`."""
    master, slave = pty.openpty()
    device = os.ttyname(slave)
    tty.setraw(slave)  # no echo of what is written before the program takes the port
    os.close(slave)
    os.set_blocking(master, False)
    with tempfile.TemporaryDirectory() as root:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        args = [program, "--root", root, "--no-clock", "--com", "1=" + device]
        if connect:
            args.append("--connect")
        window = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        back = b""
        try:
            end = time.monotonic() + seconds
            while time.monotonic() < end and APA not in back:
                try:
                    os.write(master, b"\r\n" + RMB + b"\r\n")
                except OSError:
                    pass  # nobody on the other side yet
                ready, _, _ = select.select([master], [], [], 0.2)
                if ready:
                    try:
                        back += os.read(master, 4096)
                    except OSError:
                        pass
        finally:
            window.terminate()
            window.wait(10)
            os.close(master)
    return back


def main():
    program = sys.argv[1]
    back = run(program, True, 20)
    if APA not in back:
        print("--connect: no autopilot sentence came back:", back)
        return 1
    rest = back
    while rest.startswith(APA):
        rest = rest[len(APA):]
    if not APA.startswith(rest):  # whole sentences, the last one perhaps still arriving
        print("--connect: unexpected bytes:", back)
        return 1
    back = run(program, False, 2)
    if back:
        print("without --connect the port answered:", back)
        return 1
    print("connect: 2 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
