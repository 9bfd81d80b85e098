#!/usr/bin/env bash
# make package into a temporary folder: the Debian package holds the files of installed_files.txt
# under /usr, owned by root, with the programs stripped; it depends on the Qt 6 libraries the
# programs link, on the window's font and on no build tool; its description tells about the dialout group; and lintian,
# when installed, finds no error in it, nor the validators in what it installs.
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
hardened=${3:-ON} # OFF: a build without the hardening flags (the sanitizers')
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
fail() { echo "FAILED: $*"; echo "package: $passed passed, 1 failed"; exit 1; }
ok() { passed=$((passed + 1)); }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/marivent_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/out"; fail "no $deb"; }
ok

# The files, under /usr and owned by root.
dpkg-deb -c "$deb" > "$work/contents.txt"
awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' "$work/contents.txt" | LC_ALL=C sort > "$work/files.txt"
diff -u "$here/installed_files.txt" "$work/files.txt" || fail "package files differ from installed_files.txt"
awk '{ print $2 }' "$work/contents.txt" | sort -u > "$work/owners.txt"
[ "$(cat "$work/owners.txt")" = root/root ] || fail "files not owned by root: $(cat "$work/owners.txt")"
! awk '{ print $6 }' "$work/contents.txt" | grep -v '^\./$' | grep -qv '^\./usr/' || fail "files outside /usr"
ok

# The programs are stripped.
dpkg-deb -x "$deb" "$work/root"
for b in marivent marivent-pilot marivent-convert; do
  file -b "$work/root/usr/bin/$b" > "$work/file.txt"
  grep -q ', stripped' "$work/file.txt" || fail "$b is not stripped: $(cat "$work/file.txt")"
done
ok

# Hardened as Debian builds its programs: read-only relocations bound at start-up, the stack
# protector.
[ "$hardened" = ON ] && for b in marivent marivent-pilot marivent-convert; do
  readelf -lW "$work/root/usr/bin/$b" > "$work/elf.txt"
  grep -q GNU_RELRO "$work/elf.txt" || fail "$b has no RELRO"
  readelf -dW "$work/root/usr/bin/$b" > "$work/elf.txt"
  grep -q BIND_NOW "$work/elf.txt" || fail "$b is not bound at start-up"
  readelf -W --dyn-syms "$work/root/usr/bin/$b" > "$work/elf.txt"
  grep -q __stack_chk_fail "$work/elf.txt" || fail "$b has no stack protector"
done
ok

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = marivent ] || fail "Package"
[ "$(field Version)" = "$version" ] || fail "Version"
depends=$(field Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libc6 libstdc++6; do
  case ", $depends," in *", $lib "*|*", $lib,"*) ;; *) fail "no dependency on $lib" ;; esac
done
case ", $depends," in *", fonts-liberation2 | "*) ;; *) fail "no dependency on the window's font" ;; esac
for name in $(echo "$depends" | tr ',|' '\n\n' | awk '{ print $1 }'); do
  case $name in
    *-dev|cmake|build-essential|gcc*|g++*|googletest|gpsbabel|qt6-base-dev-tools|pkg-config)
      fail "$name, a build or test tool, among the dependencies" ;;
  esac
done
[ -n "$(field Maintainer)" ] && [ -n "$(field Section)" ] || fail "Maintainer or Section missing"
field Description > "$work/description.txt"
[ "$(wc -l < "$work/description.txt")" -gt 5 ] || fail "no long description"
grep -q 'usermod -aG dialout' "$work/description.txt" || fail "the description does not tell about dialout"
grep -q "groupe dialout" "$work/description.txt" && ! grep -q '&[a-z]*;' "$work/description.txt" ||
  fail "the description's French is mangled"
ok

# What the package installs passes the validators: the metainfo with its desktop entry and icon.
if command -v appstreamcli > /dev/null; then
  appstreamcli validate-tree --no-net "$work/root" > "$work/appstream.txt" 2>&1 ||
    { cat "$work/appstream.txt"; fail "appstreamcli validate-tree"; }
  ok
fi
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$work/root/usr/share/applications/fr.marivent.Marivent.desktop" ||
    fail "desktop-file-validate"
  ok
fi

# lintian, where its package is installed (scripts/install-deps.sh installs it).
if command -v lintian > /dev/null; then
  lintian --fail-on error --tag-display-limit 0 "$deb" > "$work/lintian.txt" 2>&1 ||
    { cat "$work/lintian.txt"; fail "lintian finds errors"; }
  cat "$work/lintian.txt"
  ok
else
  echo "lintian not installed: package not checked by it"
fi
echo "package: $passed passed, 0 failed"
