#!/usr/bin/env bash
# Prints the folder scripts/install-deps.sh installs the NMEA parsers of the tests into:
# ~/.cache/marivent/consumers-KEY (MARIVENT_CACHE for another cache), KEY from the lock file, so
# that a change of the pinned versions installs them afresh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${MARIVENT_CACHE:-$HOME/.cache/marivent}
key=$(sha256sum "$here/package-lock.json" | cut -c1-16)
echo "$cache/consumers-$key"
