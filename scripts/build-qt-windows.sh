#!/usr/bin/env bash
# Cross-builds Qt (qtbase: Core, Gui, Widgets, Test) and GoogleTest for 64-bit Windows with
# mingw-w64 (posix threads), from Debian's own sources: qtbase from `apt-get source qt6-base` at the
# version of the host's Qt, whose moc, rcc and uic the cross build uses; GoogleTest from
# /usr/src/googletest. Everything lands in ~/.cache/marivent/qt-windows-KEY, KEY changing with this
# script and the source versions; a complete folder (its stamp file is written last) is reused.
# Prints the folder on the last line of standard output. JOBS (2 by default) parallel jobs;
# KEEP_BUILD=1 keeps Qt's build tree after a successful build.
set -euo pipefail

jobs=${JOBS:-2}
cache=${MARIVENT_CACHE:-$HOME/.cache/marivent}
target=x86_64-w64-mingw32
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Each step's duration, on standard error, and kept for the stamp file.
step_start=0
timings=""
step() {
  step_name=$1
  step_start=$(date +%s)
  echo "== $step_name" >&2
}
step_done() {
  local s=$(($(date +%s) - step_start)) line
  line=$(printf '%s: %d min %02d s' "$step_name" $((s / 60)) $((s % 60)))
  echo "== $line" >&2
  timings+="$line"$'\n'
}

# The host's packages: the cross compiler, the host Qt whose tools the cross build runs, wine to
# run the result, NSIS and zip to ship it, dpkg-dev for apt-get source.
packages=(
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  cmake ninja-build perl python3 pkg-config
  qt6-base-dev qt6-base-dev-tools   # the host Qt: moc, rcc, uic and its CMake files
  googletest                        # /usr/src/googletest
  dpkg-dev                          # dpkg-source, for apt-get source
  wine64 wine xvfb xauth            # runs the Windows programs here
  nsis zip                          # the installer and the archive
  fonts-dejavu-core fonts-liberation2  # fonts for Qt's offscreen platform under wine and shipped
)
step "packages"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}" >&2
fi
step_done

for tool in $target-gcc-posix $target-g++-posix $target-windres; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

# The host Qt and the source must be the same Qt version: the cross build runs the host's moc,
# rcc and uic, and Qt's CMake files of both must agree.
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev)
host_tools=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
if [ "$host_tools" != "$host_qt" ]; then
  echo "qt6-base-dev $host_qt and qt6-base-dev-tools $host_tools differ" >&2
  exit 1
fi
host_qt_upstream=${host_qt%%+*}
host_qt_upstream=${host_qt_upstream%%-*}
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
key=$(
  {
    cat "$0"
    echo "$host_qt $gtest_version $($target-g++-posix -dumpversion)"
  } | sha256sum | cut -c1-16
)
prefix=$cache/qt-windows-$key
stamp=$prefix/complete.txt

mkdir -p "$cache"
exec 9>"$cache/qt-windows-$key.lock"
flock 9
if [ -f "$stamp" ]; then
  echo "Qt for Windows already built: $prefix" >&2
  echo "$prefix"
  exit 0
fi
started=$(date +%s)

# qtbase's source, through an apt configuration of our own: a deb-src line for each of the
# system's Debian suites, our own lists and caches; /etc/apt is read, never written.
step "source"
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
{
  # deb822 files: Types, URIs, Suites, Components, Signed-By (a key file) and Enabled.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v codename="$codename" '
      function flush(  n, m, i, j, u, s) {
        if (types ~ /(^|[ \t])deb([ \t]|$)/ && enabled != "no" && uris != "") {
          n = split(uris, u, /[ \t]+/); m = split(suites, s, /[ \t]+/)
          for (i = 1; i <= n; i++) for (j = 1; j <= m; j++)
            if (s[j] == codename || s[j] == codename "-updates" || s[j] == codename "-security")
              printf "deb-src%s %s %s %s\n", (signed != "" ? " [signed-by=" signed "]" : ""),
                     u[i], s[j], comps
        }
        types = uris = suites = comps = signed = enabled = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[A-Za-z-]+:/ {
        k = tolower(substr($0, 1, index($0, ":") - 1)); v = substr($0, index($0, ":") + 1)
        gsub(/^[ \t]+|[ \t]+$/, "", v)
        if (k == "types") types = v; else if (k == "uris") uris = v
        else if (k == "suites") suites = v; else if (k == "components") comps = v
        else if (k == "signed-by" && v ~ /^\//) signed = v; else if (k == "enabled") enabled = tolower(v)
      }
      END { flush() }' "$f"
  done
  # One-line files: "deb [options] URI SUITE COMPONENTS..." becomes "deb-src ...".
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v codename="$codename" '
      $1 == "deb" {
        line = $0; sub(/^[ \t]*deb[ \t]+/, "", line); opts = ""
        if (line ~ /^\[/) { opts = substr(line, 1, index(line, "]")); line = substr(line, index(line, "]") + 1) }
        n = split(line, w, /[ \t]+/); i = (w[1] == "" ? 2 : 1)
        if (w[i+1] == codename || w[i+1] == codename "-updates" || w[i+1] == codename "-security") {
          comps = ""; for (j = i + 2; j <= n; j++) comps = comps " " w[j]
          printf "deb-src %s%s %s%s\n", (opts != "" ? opts " " : ""), w[i], w[i+1], comps
        }
      }' "$f"
  done
} | sort -u >"$apt_dir/sources.list"
if [ ! -s "$apt_dir/sources.list" ]; then
  echo "no Debian archive for $codename in /etc/apt/sources.list*" >&2
  exit 1
fi
apt_opts=(
  -o Dir::Etc::SourceList="$apt_dir/sources.list"
  -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
  -o Dir::State::Lists="$apt_dir/lists"
  -o Dir::Cache="$apt_dir/cache"
  -o APT::Sandbox::User=root
)
apt-get "${apt_opts[@]}" update -qq >&2
# The host's version when the archive still has it, else the newest of the same Qt version.
versions=$(apt-cache "${apt_opts[@]}" showsrc qt6-base | awk '/^Version:/ { print $2 }' | sort -u)
src_version=""
if grep -qxF "$host_qt" <<<"$versions"; then
  src_version=$host_qt
else
  for v in $versions; do
    u=${v%%+*}
    u=${u%%-*}
    if [ "$u" = "$host_qt_upstream" ] &&
      { [ -z "$src_version" ] || dpkg --compare-versions "$v" gt "$src_version"; }; then
      src_version=$v
    fi
  done
fi
if [ -z "$src_version" ]; then
  echo "no qt6-base source of Qt $host_qt_upstream (the host's Qt) in: $versions" >&2
  exit 1
fi
src_root=$cache/src/qt6-base-$src_version
if [ ! -f "$src_root/extracted" ]; then
  rm -rf "$src_root"
  mkdir -p "$src_root"
  (cd "$src_root" && apt-get "${apt_opts[@]}" source -qq "qt6-base=$src_version" >&2)
  touch "$src_root/extracted"
fi
qt_src=$(find "$src_root" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[ -f "$qt_src/CMakeLists.txt" ] || { echo "no qtbase source in $src_root" >&2; exit 1; }
step_done

# The toolchain file of the cross compiler. Qt's qt.toolchain.cmake loads it by this path, so it
# lives in the prefix beside Qt.
mkdir -p "$prefix"
toolchain=$prefix/mingw-w64-x86_64.cmake
cat >"$toolchain" <<EOF
# mingw-w64 for 64-bit Windows, posix threads (std::thread, std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $target-gcc-posix)
set(CMAKE_CXX_COMPILER $target-g++-posix)
set(CMAKE_RC_COMPILER $target-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$target)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# Qt: shared libraries, the modules the window and its tests use and nothing else (PrintSupport:
# the journal printed through the system's print dialog). The Debian
# source has no src/3rdparty/wintab (tablet events off); the Windows platform plugin of 6.4 does
# not link with DirectWrite 3 and without Direct2D (DirectWrite 3 off). Third-party libraries come
# from Qt's source (none of the host's can serve Windows).
qt_build=$cache/build/qtbase-$key
step "configure Qt $src_version"
mkdir -p "$qt_build"
cmake -G Ninja -S "$qt_src" -B "$qt_build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
  -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_testlib=ON \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF \
  -DFEATURE_printsupport=ON -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
  -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
  -DFEATURE_tabletevent=OFF -DFEATURE_directwrite3=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_textmarkdownreader=OFF \
  >"$qt_build/configure.log" 2>&1 || { tail -n 40 "$qt_build/configure.log" >&2; exit 1; }
step_done

step "build Qt (-j$jobs)"
cmake --build "$qt_build" --parallel "$jobs" >"$qt_build/build.log" 2>&1 ||
  { tail -n 40 "$qt_build/build.log" >&2; exit 1; }
step_done

step "install Qt"
cmake --install "$qt_build" >"$qt_build/install.log" 2>&1 ||
  { tail -n 40 "$qt_build/install.log" >&2; exit 1; }
# Qt's licences and Debian's copyright file of the source, which go with Qt's DLLs.
mkdir -p "$prefix/share/doc/qtbase"
cp -r "$qt_src/LICENSES" "$prefix/share/doc/qtbase/"
cp "$qt_src/debian/copyright" "$prefix/share/doc/qtbase/copyright"
echo "qt6-base $src_version" >"$prefix/share/doc/qtbase/source-package"
step_done

# GoogleTest and gmock, static, into the same prefix: qt.toolchain.cmake puts the prefix on the
# search path, so find_package(GTest) finds them there.
step "GoogleTest $gtest_version"
gtest_build=$cache/build/googletest-$key
rm -rf "$gtest_build"
cmake -G Ninja -S /usr/src/googletest -B "$gtest_build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=ON -DBUILD_SHARED_LIBS=OFF \
  >"$gtest_build.log" 2>&1 || { tail -n 40 "$gtest_build.log" >&2; exit 1; }
cmake --build "$gtest_build" --parallel "$jobs" >>"$gtest_build.log" 2>&1 &&
  cmake --install "$gtest_build" >>"$gtest_build.log" 2>&1 ||
  { tail -n 40 "$gtest_build.log" >&2; exit 1; }
rm -rf "$gtest_build"
step_done

mkdir -p "$prefix/logs"
cp "$qt_build/configure.log" "$prefix/logs/qtbase-configure.log"
mv "$gtest_build.log" "$prefix/logs/googletest.log"
[ "${KEEP_BUILD:-0}" = 1 ] || rm -rf "$qt_build"
total=$(($(date +%s) - started))
cat >"$stamp" <<EOF
qtbase source: qt6-base $src_version (Debian $codename)
host Qt: $host_qt
googletest: $gtest_version
compiler: $($target-g++-posix --version | head -n1)
built in: $((total / 60)) min $((total % 60)) s, on $(nproc) processors with $jobs jobs
$timings
EOF
printf '== Qt for Windows built in %d min %02d s: %s\n' $((total / 60)) $((total % 60)) "$prefix" >&2
echo "$prefix"
