#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need, when they are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev googletest
  fonts-dejavu-core   # a font for Qt's offscreen platform (window tests, screenshots)
  fonts-liberation2   # Liberation Sans, the window's font: the widths of the original's captions
  gpsbabel            # a peer that reads and writes OziExplorer files, for the transfer tests
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
