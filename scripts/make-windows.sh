#!/usr/bin/env bash
# make windows: the programs for 64-bit Windows and their folder, zip and installer.
#   scripts/make-windows.sh [BUILD]    (BUILD: build-windows by default; JOBS: 2 by default)
# 1. Qt and GoogleTest for Windows, built once into ~/.cache/marivent (scripts/build-qt-windows.sh);
# 2. BUILD configured with Qt's toolchain file and built;
# 3. BUILD/marivent-VERSION-windows: the programs, the DLLs and plugins they load, the data
#    (packaging/windows), every DLL imported checked to be there or to be Windows's own;
# 4. BUILD/marivent-VERSION-windows.zip of that folder;
# 5. BUILD/marivent-VERSION-setup.exe, the installer (packaging/windows/marivent.nsi), when NSIS's
#    makensis is at hand (scripts/build-qt-windows.sh installs it).
# Each step says how long it took. CMAKE_FLAGS are handed to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-windows}
jobs=${JOBS:-2}
target=x86_64-w64-mingw32

step_start=0
step() {
  step_name=$1
  step_start=$(date +%s)
  echo "== $step_name" >&2
}
step_done() {
  local s=$(($(date +%s) - step_start))
  printf '== %s: %d min %02d s\n' "$step_name" $((s / 60)) $((s % 60)) >&2
}
started=$(date +%s)

step "Qt for Windows"
qt=$(JOBS=$jobs scripts/build-qt-windows.sh | tail -n1)
step_done

step "configure $build"
# shellcheck disable=SC2086 # CMAKE_FLAGS holds several options
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=Release ${CMAKE_FLAGS:-} >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log" >&2; exit 1; }
mv "$build.configure.log" "$build/configure.log"
step_done

step "build $build (-j$jobs)"
cmake --build "$build" -j"$jobs"
step_done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=marivent-$version-windows
stage=$build/$name

step "folder $stage"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null
# Symbols out of the programs and of every DLL (libstdc++-6.dll: 23 MB with them, 2 MB without).
find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -exec $target-strip --strip-unneeded {} +
# Windows's own DLLs are those the cross compiler has an import library of (libkernel32.a, ...,
# libwinspool.a for the printers' WINSPOOL.DRV), and the API sets (api-ms-win-*); any other DLL a
# program or plugin imports must be in the folder.
missing=0
while IFS= read -r -d '' pe; do
  while read -r dll; do
    lower=${dll,,}
    [ -e "$stage/$dll" ] && continue
    case $lower in api-ms-win-* | ext-ms-win-*) continue ;; esac
    [ -e "/usr/$target/lib/lib${lower%.*}.a" ] && continue
    echo "${pe#"$stage"/} imports $dll, which the folder lacks" >&2
    missing=1
  done < <($target-objdump -p "$pe" | sed -n 's/^[[:space:]]*DLL Name: //p')
done < <(find "$stage" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
[ "$missing" = 0 ] || exit 1
du -sh "$stage" >&2
step_done

step "zip"
rm -f "$build/$name.zip"
(cd "$build" && zip -qr -X "$name.zip" "$name")
ls -l "$build/$name.zip" >&2
step_done

if command -v makensis >/dev/null; then
  step "installer"
  # The folder's files for the installer, and the same removed by the uninstaller: files first,
  # then their folders, deepest first, each only when empty.
  nsis=$build/nsis
  rm -rf "$nsis"
  mkdir -p "$nsis"
  abs_stage=$(realpath "$stage")
  (
    cd "$stage"
    if find . -name '*[$"]*' | grep -q .; then
      echo "a file name in $stage holds \$ or \", which the installer's script cannot" >&2
      exit 1
    fi
    find . -mindepth 1 -type d | sort | while read -r d; do
      d=${d#./}
      echo "CreateDirectory \"\$INSTDIR\\${d//\//\\}\""
    done
    find . -type f | sort | while read -r f; do
      f=${f#./}
      dir=$(dirname "$f")
      [ "$dir" = . ] && out='$INSTDIR' || out="\$INSTDIR\\${dir//\//\\}"
      echo "SetOutPath \"$out\""
      echo "File \"$abs_stage/$f\""
    done
    echo 'SetOutPath "$INSTDIR"'
  ) >"$nsis/install.nsh"
  (
    cd "$stage"
    find . -type f | sort | while read -r f; do
      f=${f#./}
      echo "Delete \"\$INSTDIR\\${f//\//\\}\""
    done
    find . -mindepth 1 -type d | sort -r | while read -r d; do
      d=${d#./}
      echo "RMDir \"\$INSTDIR\\${d//\//\\}\""
    done
  ) >"$nsis/uninstall.nsh"
  sed 's/$/\r/' LICENSE >"$nsis/LICENSE.txt"
  # Windows wants four numbers in a file's version: 0.1 is 0.1.0.0.
  file_version=$version
  while [ "$(tr -cd . <<<"$file_version" | wc -c)" -lt 3 ]; do file_version=$file_version.0; done
  setup=marivent-$version-setup.exe
  rm -f "$build/$setup"
  makensis -V2 -DVERSION="$version" -DFILE_VERSION="$file_version" -DLISTS="$(realpath "$nsis")" \
    -DLICENSE="$(realpath "$nsis")/LICENSE.txt" -DOUTFILE="$(realpath "$build")/$setup" \
    packaging/windows/marivent.nsi >&2
  ls -l "$build/$setup" >&2
  step_done
else
  echo "== no makensis (Debian: nsis): no installer" >&2
fi

total=$(($(date +%s) - started))
printf '== make windows: %d min %02d s\n' $((total / 60)) $((total % 60)) >&2
