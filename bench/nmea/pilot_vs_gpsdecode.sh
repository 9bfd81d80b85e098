#!/usr/bin/env bash
# marivent-pilot as a whole process beside gpsd's gpsdecode on the same input, as a ratio.
# A figure, not a test. Installs gpsd-clients when it is missing.
set -euo pipefail
bin=${1:-build/bin}
data=${2:-tests/data/nmea}
command -v gpsdecode >/dev/null || { sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo;
  $sudo apt-get install -y -qq gpsd-clients >/dev/null; }
input=$(mktemp)
trap 'rm -f "$input"' EXIT
for i in $(seq 1 20); do cat "$data"/*.log "$data"/*.nmea; done | tr -d '\000' > "$input"
lines=$(wc -l < "$input")
t() { local s=$(date +%s.%N); "$@" < "$input" > /dev/null; echo "$(date +%s.%N) - $s" | bc; }
p=$(t "$bin/marivent-pilot"); g=$(t gpsdecode)
echo "input: $lines lines"
echo "marivent-pilot: $p s; gpsdecode: $g s; gpsdecode / pilot = $(echo "scale=2; $g / $p" | bc)"
