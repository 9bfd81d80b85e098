#!/usr/bin/env bash
# Builds and runs the transfer benchmark (not a test; it never fails on time).
#   bench/transfer_bench.sh [BUILD_DIR] [--runs N]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
shift || true
cmake --build "$build" --target transfer_bench -j2 >/dev/null
"$build/bin/transfer_bench" "$@" 2>/dev/null
