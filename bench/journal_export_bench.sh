#!/usr/bin/env bash
# Times marivent-convert journal2gpx, journal2csv and journal2pdf on a journal of 100,000 entries
# (about 1.3 years at the 7-minute interval, every midnight crossed), and gives each file's size. A measurement, not a test: it prints
# figures and never fails on time.
#   bench/journal_export_bench.sh [BUILD_DIR] [--runs N]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
shift || true
runs=5
[ "${1:-}" = "--runs" ] && runs="$2"
cmake --build "$build" --target marivent-convert -j2 >/dev/null
tool="$build/bin/marivent-convert"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Entries as the program writes them, French dates, the clock 2 h ahead of UTC.
/usr/bin/python3 - "$work/journal.txt" <<'PY'
import datetime, sys
out = ["Heure        Position        Vi. Cap  Vers", ""]
utc = datetime.datetime(2026, 1, 1, 0, 3)
day = None
for i in range(100000):
    local = utc + datetime.timedelta(hours=2)
    if local.date() != day:
        day = local.date()
        out.append(day.strftime("%d/%m/%Y"))
    lat = "%02d%07.4f" % (40 + i % 9, (i * 0.37) % 60)
    lon = "%03d%07.4f" % (i % 12, (i * 0.53) % 60)
    out.append("%s N%s W%s  %d,%d %d  WPT %d " % (utc.strftime("%H:%M"), lat, lon, i % 12, i % 10,
                                                    i % 360, i % 40))
    utc += datetime.timedelta(minutes=7)
with open(sys.argv[1], "w", newline="") as f:
    f.write("\r\n".join(out) + "\r\n")
PY

ms() { echo $(( ($2 - $1) / 1000000 )); }
for cmd in journal2gpx journal2csv journal2pdf; do
  times=()
  for ((r = 0; r < runs; r++)); do
    start=$(date +%s%N)
    "$tool" "$cmd" "$work/journal.txt" --force >/dev/null
    end=$(date +%s%N)
    times+=("$(ms "$start" "$end")")
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
  out="$work/journal.${cmd#journal2}"
  echo "$cmd, 100000 entries ($(stat -c %s "$work/journal.txt") bytes): median ${median} ms of $runs runs (${times[*]}), $(stat -c %s "$out") bytes written"
done
