#!/usr/bin/env bash
# make install into a temporary DESTDIR, then the installed programs as a user runs them: the files
# of installed_files.txt and nothing else are there, --help, marivent-pilot and marivent-convert
# give what the build folder's programs give, the window draws its picture on a ROOT given by
# --root and on the default one (~/.local/share/marivent), --demo plays the recording installed
# under the prefix, nothing is written under the prefix, and the desktop entry and the metainfo
# pass desktop-file-validate and appstreamcli.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../.." && pwd)
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
fail() { echo "FAILED: $*"; echo "install: $passed passed, 1 failed"; exit 1; }
ok() { passed=$((passed + 1)); }

dest=$work/dest
prefix=/opt/marivent
p=$dest$prefix
DESTDIR=$dest cmake --install "$build" --prefix "$prefix" > "$work/install.log" ||
  { cat "$work/install.log"; fail "cmake --install"; }

# The file list, and nothing outside the prefix.
(cd "$p" && find . -type f -printf '%P\n' | LC_ALL=C sort) > "$work/files.txt"
diff -u "$here/installed_files.txt" "$work/files.txt" || fail "installed files differ from installed_files.txt"
[ "$(find "$dest" -type f -not -path "$p/*" | wc -l)" -eq 0 ] || fail "files outside the prefix"
ok
for b in marivent marivent-pilot marivent-convert; do
  [ -x "$p/bin/$b" ] || fail "$b not executable"
done
[ "$(head -c 8 "$p/share/icons/hicolor/32x32/apps/fr.marivent.Marivent.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "32 px icon is not a PNG"
# The PNG header's width and height, 4 bytes each after "IHDR".
[ "$(od -An -tx1 -j16 -N8 "$p/share/icons/hicolor/32x32/apps/fr.marivent.Marivent.png" | tr -d ' \n')" = 0000002000000020 ] ||
  fail "32 px icon is not 32 x 32"
grep -q '<svg' "$p/share/icons/hicolor/scalable/apps/fr.marivent.Marivent.svg" || fail "scalable icon is not an SVG"
for m in marivent marivent-pilot marivent-convert; do
  page=$p/share/man/fr/man1/$m.1.gz
  gzip -t "$page" || fail "$m.1.gz is not gzip"
  zcat "$page" > "$work/page.1"
  upper=$(echo "$m" | tr a-z A-Z | sed 's/-/\\-/g')
  th=$(grep '^\.TH ' "$work/page.1")
  case $th in
    ".TH $upper 1 "*"\"Marivent $version\""*) ;;
    *) fail "$m.1: '$th' is not the page of $m, version $version" ;;
  esac
  ! grep -q '@[A-Z_]*@' "$work/page.1" || fail "$m.1 has a placeholder left"
  # groff's warnings on the page, as lintian asks for them.
  if command -v man > /dev/null; then
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 > /dev/null) || fail "man on $m.1"
    [ -z "$warnings" ] || { echo "$warnings"; fail "groff warns on $m.1"; }
  fi
done
# The pages are found under any locale: the same pages in the default section, which man finds
# under C.UTF-8.
for m in marivent marivent-pilot marivent-convert; do
  cmp -s "$p/share/man/fr/man1/$m.1.gz" "$p/share/man/man1/$m.1.gz" || fail "$m.1 not in the default section"
  if command -v man > /dev/null; then
    found=$(LC_ALL=C.UTF-8 LANG=C.UTF-8 LANGUAGE= man -M "$p/share/man" -w "$m" 2>/dev/null) ||
      fail "man does not find $m under C.UTF-8"
    [ "$found" = "$p/share/man/man1/$m.1.gz" ] || fail "man under C.UTF-8 finds $found"
  fi
done
# The licence, in the metainfo and in the machine-readable copyright file.
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
  "$p/share/metainfo/fr.marivent.Marivent.metainfo.xml" || fail "metainfo licence"
grep -q 'The names between at signs are filled in by CMake' \
  "$p/share/metainfo/fr.marivent.Marivent.metainfo.xml" || fail "metainfo comment emptied"
head -1 "$p/share/doc/marivent/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not machine-readable"
grep -q '^License: GPL-3.0+$' "$p/share/doc/marivent/copyright" || fail "copyright licence"
grep -q '^Icon=fr.marivent.Marivent$' "$p/share/applications/fr.marivent.Marivent.desktop" || fail "desktop icon"
grep -q '<launchable type="desktop-id">fr.marivent.Marivent.desktop</launchable>' \
  "$p/share/metainfo/fr.marivent.Marivent.metainfo.xml" || fail "metainfo launchable"
! grep -q '@[A-Z_]*@' "$p/share/metainfo/fr.marivent.Marivent.metainfo.xml" || fail "metainfo placeholder left"
ok

# What is under the destination before the programs run: names, sizes, times, modes.
listing() { (cd "$dest" && find . -printf '%p %y %s %T@ %m\n' | LC_ALL=C sort); }
listing > "$work/before.txt"

# The programs run from an empty home, so the default ROOT is the one under it.
home=$work/home
mkdir -p "$home"
mkdir -m 700 "$work/runtime"
run() {
  env -u MARIVENT_ROOT -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME HOME="$home" \
    XDG_RUNTIME_DIR="$work/runtime" "$@"
}

run "$p/bin/marivent" --help > "$work/help.txt" || fail "marivent --help"
grep -q -- '--root' "$work/help.txt" && grep -q -- '--demo' "$work/help.txt" || fail "marivent --help lacks its options"
run "$p/bin/marivent-pilot" --help > "$work/help.txt" || fail "marivent-pilot --help"
grep -q -- '--tous-emetteurs' "$work/help.txt" || fail "marivent-pilot --help lacks --tous-emetteurs"
run "$p/bin/marivent-convert" --help > "$work/help.txt" || fail "marivent-convert --help"
grep -q 'ozi2cmap' "$work/help.txt" || fail "marivent-convert --help lacks ozi2cmap"
ok

# marivent-pilot: the same bytes as the build folder's.
nmea=$source/tests/data/nmea/Garmin-GPS76_goto.txt
run "$p/bin/marivent-pilot" < "$nmea" > "$work/apa.installed" 2>/dev/null || fail "installed marivent-pilot"
"$build/bin/marivent-pilot" < "$nmea" > "$work/apa.build" 2>/dev/null || fail "built marivent-pilot"
[ -s "$work/apa.installed" ] || fail "marivent-pilot wrote no autopilot sentence"
cmp -s "$work/apa.installed" "$work/apa.build" || fail "installed marivent-pilot differs from the build's"
ok

# marivent-convert on a copy of an OziExplorer route: the same C-Map file as the build folder's.
mkdir -p "$work/ozi" "$work/ozi.build"
cp "$source/tests/data/ozi/ozi.rte" "$work/ozi/"
cp "$source/tests/data/ozi/ozi.rte" "$work/ozi.build/"
(cd "$work/ozi" && run "$p/bin/marivent-convert" ozi2cmap ozi.rte > "$work/convert.txt") ||
  fail "installed marivent-convert ozi2cmap"
"$build/bin/marivent-convert" ozi2cmap "$work/ozi.build/ozi.rte" > /dev/null || fail "built marivent-convert"
[ -s "$work/ozi/ozi" ] || fail "no C-Map route written"
cmp -s "$work/ozi/ozi" "$work/ozi.build/ozi" || fail "installed marivent-convert differs from the build's"
grep -q '^écrit : ' "$work/convert.txt" || fail "marivent-convert did not say what it wrote"
ok

png_ok() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; }
# The window on a ROOT given by --root.
run env QT_QPA_PLATFORM=offscreen "$p/bin/marivent" --root "$work/root" --screenshot "$work/s.png" \
  > /dev/null 2>&1 || fail "marivent --screenshot"
png_ok "$work/s.png" || fail "no PNG from the installed window"
[ -f "$work/root/journal.txt" ] && [ -f "$work/root/journlog.txt" ] || fail "--root not used"
# The window on the default ROOT, the user's data folder.
run env QT_QPA_PLATFORM=offscreen "$p/bin/marivent" --screenshot "$work/s2.png" > /dev/null 2>&1 ||
  fail "marivent --screenshot on the default ROOT"
[ -f "$home/.local/share/marivent/journal.txt" ] || fail "default ROOT is not ~/.local/share/marivent"
ok

# --demo plays the recording installed under the prefix.
run env QT_QPA_PLATFORM=offscreen "$p/bin/marivent" --demo --root "$work/root3" --screenshot "$work/s3.png" \
  > "$work/demo.txt" 2>&1 || { cat "$work/demo.txt"; fail "marivent --demo"; }
grep -qF "(enregistrement $(realpath "$p")/share/marivent/demo_route.nmea)" "$work/demo.txt" ||
  { cat "$work/demo.txt"; fail "--demo does not play the installed recording"; }
ok

# Nothing was written under the prefix.
listing > "$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the programs wrote under the install prefix"
ok

# The validators, where their Debian packages are installed (scripts/install-deps.sh installs them).
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$p/share/applications/fr.marivent.Marivent.desktop" || fail "desktop-file-validate"
  ok
else
  echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$p/share/metainfo/fr.marivent.Marivent.metainfo.xml" || fail "appstreamcli validate"
  ok
else
  echo "appstreamcli not installed: metainfo not validated"
fi
echo "install: $passed passed, 0 failed"
