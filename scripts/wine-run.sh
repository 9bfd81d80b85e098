#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine (64-bit):
#   scripts/wine-run.sh [--path DIR]... PROGRAM.exe [ARGUMENTS...]
# Each --path DIR (the DLLs of Qt, the compiler's run-time) goes on the program's PATH. The wine
# prefix is WINEPREFIX, else a folder of the user's own under /tmp, never ~/.wine; wine creates it
# at the first run (some seconds, one run at a time). Wine's own messages are off unless WINEDEBUG is set.
#
# Wine keeps the Unix variables QT_* from Windows programs; it hands one over under the name
# WINEQT_*: WINEQT_QPA_PLATFORM=offscreen reaches the program as QT_QPA_PLATFORM. So do the
# variables of the tests' environment: QT_QPA_PLATFORM and QT_QPA_FONTDIR are given over here.
# Qt's offscreen platform on Windows reads the fonts of one folder only, not its subfolders
# (QT_QPA_FONTDIR): unless set, a folder in the prefix holds links to the host's TrueType fonts.
set -euo pipefail

winpath=""
while [ $# -gt 0 ] && [ "$1" = "--path" ]; do
  winpath="${winpath:+$winpath;}Z:${2//\//\\}"
  shift 2
done
[ $# -gt 0 ] || { echo "usage: $0 [--path DIR]... PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine) ||
  { echo "no wine64 (Debian: wine64)" >&2; exit 1; }

export WINEPREFIX=${WINEPREFIX:-/tmp/marivent-wine-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}

# A new prefix is made by one wine at a time. Debian's wine writes the folder of its server's
# socket, a new one for each, into the prefix: two programs started together on an empty prefix
# (ctest -j2) would each start a server there, and one of them fails ("chdir to
# /tmp/wine-…/server-…"). The first one makes the prefix and waits for its server to end; the
# others wait for it behind a lock beside the prefix.
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  wineserver=$(dirname "$wine")/wineserver
  [ -x "$wineserver" ] || wineserver=$(command -v wineserver)
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -e "$WINEPREFIX/system.reg" ]; then
      "$wine" wineboot -i >/dev/null 2>&1 || true
      "$wineserver" -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi
[ -z "$winpath" ] || export WINEPATH="$winpath${WINEPATH:+;$WINEPATH}"
if [ -n "${QT_QPA_PLATFORM:-}" ] && [ -z "${WINEQT_QPA_PLATFORM:-}" ]; then
  export WINEQT_QPA_PLATFORM=$QT_QPA_PLATFORM
fi
if [ -z "${WINEQT_QPA_FONTDIR:-}" ]; then
  fontdir=${QT_QPA_FONTDIR:-}
  if [ -z "$fontdir" ]; then
    fontdir=$WINEPREFIX/marivent-fonts
    mkdir -p "$fontdir"
    find /usr/share/fonts/truetype -name '*.ttf' -exec ln -sf -t "$fontdir" {} +
  fi
  export WINEQT_QPA_FONTDIR="Z:${fontdir//\//\\}"
fi
exec "$wine" "$@"
