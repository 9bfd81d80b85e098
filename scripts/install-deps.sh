#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need, when they are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  nettle-dev          # SHA-256 of the journal's seal (on Windows: the system's CNG)
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev googletest
  fonts-dejavu-core   # a font for Qt's offscreen platform (window tests, screenshots)
  fonts-liberation2   # Liberation Sans, the window's font: the widths of the original's captions
  gpsbabel            # a peer that reads and writes OziExplorer files, for the transfer tests
  locales             # the users' regional settings, under which the tests run
  python3             # its csv and XML modules read the journal exports back, in the tests
  poppler-utils       # pdftotext and pdftoppm read back the PDF of journal2pdf (journal.pdf_tool)
  dpkg-dev file       # make package: dpkg-shlibdeps finds the package's dependencies
  lintian             # the package's checker (install.package)
  desktop-file-utils  # desktop-file-validate, on the installed menu entry (install.destdir)
  appstream           # appstreamcli, on the installed metainfo (install.destdir)
  clang libclang-rt-dev llvm  # make fuzz: clang, libFuzzer and the sanitizers' symbolizer
  clang-format        # source.formatted: the C++ as .clang-format lays it out
  nodejs              # runs the NMEA parsers that read marivent-pilot's output (nmea.consumers)
)
# npm installs those parsers; some builds of nodejs carry their own npm, and conflict with Debian's.
command -v npm >/dev/null || packages+=(npm)
# make bench runs the benchmarks beside their peers: with --bench, their packages too (gpsdecode
# pulls in a desktop's worth of Python, which the build and the tests do without).
if [ "${1:-}" = "--bench" ]; then
  packages+=(
    gpsd-clients   # gpsdecode, the peer of marivent-pilot
    python3        # bench/bench.py times the processes and prints the table
    xvfb libx11-dev libxdamage-dev  # window_bench: the window drawn on an X server, and when its first frame lands
  )
fi
# The regional settings of the users, which the tests run under.
locales=(fr_FR de_DE)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Each locale is enabled in /etc/locale.gen (so a later locale-gen keeps it) and generated.
absent=()
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "${l}.utf-\?8" || absent+=("$l")
done
if [ ${#absent[@]} -gt 0 ]; then
  echo "Generating the locales: ${absent[*]/%/.UTF-8}"
  for l in "${absent[@]}"; do
    if grep -q "^# *${l}.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      $sudo sed -i "s/^# *\(${l}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    elif ! grep -q "^${l}.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "${l}.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
  done
  $sudo locale-gen >/dev/null
fi

# The NMEA parsers that read marivent-pilot's output back (nmea.consumers), at the versions
# tests/consumers/package-lock.json pins, installed by npm ci into the folder
# tests/consumers/folder.sh names (it changes with the lock file); a complete folder (its stamp is
# written last) is reused. npm's own cache is kept beside it.
root=$(cd "$(dirname "$0")/.." && pwd)
consumers=$("$root/tests/consumers/folder.sh")
if [ ! -f "$consumers/installed" ]; then
  echo "Installing the NMEA parsers of the tests into $consumers"
  rm -rf "$consumers.part"
  mkdir -p "$consumers.part"
  cp "$root/tests/consumers/package.json" "$root/tests/consumers/package-lock.json" "$consumers.part/"
  (cd "$consumers.part" && npm_config_cache="$(dirname "$consumers")/npm" \
    npm ci --ignore-scripts --no-audit --no-fund --no-update-notifier --loglevel=error)
  touch "$consumers.part/installed"
  rm -rf "$consumers"
  mv "$consumers.part" "$consumers"
fi
