#!/usr/bin/env bash
# nmea.consumers: marivent-pilot's sentences read by two NMEA parsers of other authors
# (consumers_test.js), the ones scripts/install-deps.sh installs at pinned versions.
set -euo pipefail
pilot=$1
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
fail() { echo "consumers: $*"; echo "consumers: 0 passed, 1 failed"; exit 1; }
command -v node >/dev/null || fail "node is not installed: run scripts/install-deps.sh"
parsers=$("$top/tests/consumers/folder.sh")
[ -f "$parsers/installed" ] ||
  fail "the NMEA parsers are not installed in $parsers: run scripts/install-deps.sh"
exec node "$here/consumers_test.js" "$pilot" "$top/tests/data/nmea" "$parsers"
