#!/usr/bin/env python3
"""make bench: runs the benchmarks and prints each figure beside its peer's in one table.

Figures, never a verdict: nothing here fails on time. Every ratio is measured in this run, on
this machine, with the peer run right after ours on the same input.

  bench/bench.py [--build DIR] [--runs N] [--quick] [--only pilot,decoder,convert,window]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def figures(output):
    """The `figure KEY VALUE` lines a benchmark program prints."""
    found = {}
    for line in output.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] == "figure":
            try:
                found[parts[1]] = float(parts[2])
            except ValueError:
                pass
    return found


def run_program(argv, env=None, timeout=1800):
    """Runs a benchmark program; its figures, and its own report on the standard error."""
    try:
        done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                              env=env, timeout=timeout)
    except (OSError, subprocess.TimeoutExpired) as e:
        print(f"  {os.path.basename(argv[0])}: {e}", file=sys.stderr)
        return {}
    for line in done.stdout.splitlines():
        if not line.startswith("figure "):
            print("  " + line, file=sys.stderr)
    if done.returncode != 0:
        print(f"  {os.path.basename(argv[0])} ended with {done.returncode}: "
              f"{done.stderr.strip()[-400:]}", file=sys.stderr)
    return figures(done.stdout)


def time_process(argv, stdin_path, runs):
    """Wall time of whole processes reading stdin_path, output thrown away: every run."""
    times = []
    for _ in range(runs):
        with open(stdin_path, "rb") as stdin:
            start = time.perf_counter()
            subprocess.run(argv, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            times.append(time.perf_counter() - start)
    return times


def pilot_figures(build, runs, work):
    stream = os.path.join(work, "passage.nmea")
    with open(stream, "wb") as out:
        subprocess.run([os.path.join(build, "bin", "passage_stream")], stdout=out, check=True)
    with open(stream, "rb") as f:
        data = f.read()
    lines = data.count(b"\n")
    pilot = os.path.join(build, "bin", "marivent-pilot")
    answer = subprocess.run([pilot], input=data, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL).stdout
    print(f"  passage stream: {lines} lines, {len(data)} bytes in; marivent-pilot writes "
          f"{len(answer)} bytes ({answer.count(b'$AGAPA')} APA sentences)", file=sys.stderr)
    found = {"stream_lines": lines}
    gpsdecode = shutil.which("gpsdecode")
    ours, peer = [], []
    # Interleaved, so both see the same machine.
    for _ in range(runs):
        ours += time_process([pilot], stream, 1)
        if gpsdecode:
            peer += time_process([gpsdecode], stream, 1)
    found["pilot_s"] = statistics.median(ours)
    if peer:
        found["gpsdecode_s"] = statistics.median(peer)
    else:
        print("  gpsdecode not found (package gpsd-clients)", file=sys.stderr)
    return found


def fmt(value, digits):
    return "-" if value is None else f"{value:.{digits}f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--quick", action="store_true", help="short window runs")
    parser.add_argument("--only", default="pilot,decoder,convert,window")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    parts = set(args.only.split(","))
    f = {}
    work = tempfile.mkdtemp(prefix="marivent-bench-")
    try:
        if "pilot" in parts:
            print("marivent-pilot beside gpsdecode ...", file=sys.stderr)
            f.update(pilot_figures(build, args.runs, work))
        if "decoder" in parts:
            print("decoder in process ...", file=sys.stderr)
            f.update(run_program([os.path.join(build, "bin", "nmea_decode_bench"),
                                  os.path.join(ROOT, "tests", "data", "nmea")]))
        if "convert" in parts:
            print("marivent-convert beside gpsbabel ...", file=sys.stderr)
            f.update(run_program([os.path.join(build, "bin", "transfer_bench"), "--runs",
                                  str(max(args.runs, 21))]))
        if "window" in parts:
            print("the window ...", file=sys.stderr)
            window = [os.path.join(build, "bin", "window_bench")]
            if args.quick:
                window.append("--quick")
            f.update(run_program(window, timeout=3600))
    finally:
        shutil.rmtree(work, ignore_errors=True)

    def ratio(ours, peer):
        a, b = f.get(ours), f.get(peer)
        return None if a is None or not b else a / b

    rows = [
        # what, ours, digits, peer label, peer key, ratio, aim
        ("marivent-pilot, 10 Hz passage, whole process (s)", "pilot_s", 3,
         "gpsdecode", "gpsdecode_s", ratio("pilot_s", "gpsdecode_s"), "ratio <= 0.05"),
        ("decoder in process, passage (M lines/s)", "decoder_passage_mlines", 2,
         "", None, None, "> 20"),
        ("decoder in process, recorded logs (M lines/s)", "decoder_logs_mlines", 2,
         "", None, None, "> 20"),
        ("marivent-convert ozi2cmap, 1024 wpts (ms)", "convert_ozi2cmap_ms", 2,
         "gpsbabel", "gpsbabel_ozi2cmap_ms", ratio("convert_ozi2cmap_ms", "gpsbabel_ozi2cmap_ms"),
         "ratio <= 0.1"),
        ("marivent-convert cmap2ozi, 1024 wpts (ms)", "convert_cmap2ozi_ms", 2,
         "gpsbabel", "gpsbabel_cmap2ozi_ms", ratio("convert_cmap2ozi_ms", "gpsbabel_cmap2ozi_ms"),
         "ratio <= 0.1"),
        ("ozi->cmap in process, 1024 wpts (ms)", "inproc_ozi2cmap_ms", 3, "", None, None, "< 0.3"),
        ("cmap->ozi in process, 1024 wpts (ms)", "inproc_cmap2ozi_ms", 3, "", None, None, "< 0.3"),
        ("window CPU at 1 Hz (s per minute)", "window_cpu_1hz", 3, "", None, None, ""),
        ("window CPU at 10 Hz (s per minute)", "window_cpu_10hz", 3, "", None, None, "< 0.15"),
        ("window CPU idle, port open (s per minute)", "window_cpu_idle", 3, "", None, None, "0"),
        ("latency CR in -> APA out, median (ms)", "latency_median_ms", 3, "", None, None,
         "keep 0.26"),
        ("latency CR in -> APA out, p99 (ms)", "latency_p99_ms", 3, "", None, None, "keep 0.48"),
        ("start-up to window shown, Xvfb (ms)", "startup_ms", 1, "", None, None, "< 150"),
        ("RSS after 1 min at 10 Hz (MB)", "rss_1min_mb", 2, "", None, None, ""),
        ("RSS after 1 h at 10 Hz (MB)", "rss_1h_mb", 2, "", None, None,
         "within 1 MB of 1 min"),
    ]
    print()
    head = f"{'measure':<50} {'marivent':>10}   {'peer':<10} {'peer value':>10} {'ratio':>7}   aim"
    print(head)
    print("-" * len(head))
    for what, key, digits, peer_name, peer_key, r, aim in rows:
        if key not in f and (peer_key is None or peer_key not in f):
            continue
        peer_value = f.get(peer_key) if peer_key else None
        print(f"{what:<50} {fmt(f.get(key), digits):>10}   {peer_name:<10} "
              f"{fmt(peer_value, digits):>10} {fmt(r, 3):>7}   {aim}")
    missing = [key for _, key, *_ in rows if key not in f]
    if missing:
        print(f"\nnot measured in this run: {', '.join(missing)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
