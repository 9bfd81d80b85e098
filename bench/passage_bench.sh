#!/usr/bin/env bash
# Builds and runs the accelerated passage through the window (not a test; it never fails on
# figures). MINUTES of wall time, 10 by default; further options go to the program
# (--interval N, --hangup-every N, --damage-every N, --inflight N, --progress S, --keep).
#   bench/passage_bench.sh [MINUTES] [OPTIONS...]
set -euo pipefail
build="${BUILD:-$(dirname "$0")/../build}"
minutes="${1:-10}"
shift || true
cmake --build "$build" --target passage_bench -j2 >/dev/null
MARIVENT_NO_CLOCK=1 QT_QPA_PLATFORM=offscreen "$build/bin/passage_bench" --minutes "$minutes" "$@"
