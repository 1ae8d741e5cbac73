#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds, once, the libraries the Windows build of Numbelo links against, cross-compiled
# for 64-bit Windows with Debian's mingw-w64 compilers from Debian's own source packages:
#   Qt 6.4.2 (qt6-base): Core, Gui, Widgets and Test as DLLs, with the windows platform
#     plugin (UI Automation accessibility on), the offscreen platform plugin (tests under
#     Wine), the vista style plugin and built-in PNG support;
#   SDL2 (libsdl2): SDL2.dll with its audio drivers (WASAPI, DirectSound, winmm, disk,
#     dummy) and no video, which the program opens at run time for sound only.
#
#   tools/windows/build-toolchain.sh                 build if needed; prints the folder
#   tools/windows/build-toolchain.sh --print-prefix  only print the folder, build nothing
#
# The folder is ${NUMBELO_WINDOWS_CACHE:-~/.cache/numbelo/windows}/<key>, outside the
# source tree, where the key names the versions and a hash of this script and of
# cmake/toolchains/mingw-w64-x86_64.cmake: a change of either recipe builds a new folder.
# A folder is finished when its stamp file exists, written once all is installed and
# checked; then this script does nothing. Standard output carries only the folder's path, so that
#   prefix=$(tools/windows/build-toolchain.sh)
# works; progress and the time of each step go to standard error.
#
# Qt and SDL are built as DLLs: every test program and the application then share one
# copy of Qt instead of each carrying a static one, the platform and style plugins load
# the way Qt loads them everywhere, and links stay fast.
#
# Needs Debian 12, as root or with sudo: what is missing is installed with apt, and a
# deb-src entry copied from the machine's own Debian entry is added to apt's sources if
# none is there. A fresh build takes about half an hour on two cores, nearly all of it
# Qt. An interrupted or failed build keeps its scratch folder (sources and build trees,
# beside the finished folders), and the next run goes on from it; a finished one
# removes it.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
toolchain_file=$root/cmake/toolchains/mingw-w64-x86_64.cmake

qt_version=6.4.2
sdl_version=2.26.5

# Standard output is kept for the folder's path alone.
exec 3>&1 1>&2

print_only=false
case "${1:-}" in
  "") ;;
  --print-prefix) print_only=true ;;
  -h | --help)
    sed -n '3,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "${BASH_SOURCE[0]}" >&3
    exit 0
    ;;
  *)
    echo "usage: $0 [--print-prefix]" >&2
    exit 2
    ;;
esac

recipe_hash=$(cat "${BASH_SOURCE[0]}" "$toolchain_file" | sha256sum | cut -c1-10)
versions=qt-${qt_version}_sdl-${sdl_version}
cache_root=${NUMBELO_WINDOWS_CACHE:-$HOME/.cache/numbelo/windows}
prefix=$cache_root/${versions}_$recipe_hash
stamp=$prefix/numbelo-toolchain.stamp
scratch=$cache_root/scratch-$versions

if $print_only; then
  echo "$prefix" >&3
  exit 0
fi
already_built() {
  if [ -f "$stamp" ]; then
    echo "Already built: $prefix"
    echo "$prefix" >&3
    exit 0
  fi
}
already_built
# One build at a time in a cache folder: a second caller waits, then finds the first's
# result instead of deleting the folder it is filling.
mkdir -p "$cache_root"
exec 9>"$cache_root/.lock"
if ! flock -n 9; then
  echo "Waiting for another build in $cache_root to end..."
  flock 9
fi
already_built

# ---------------------------------------------------------------------------------------
# Helpers

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

timings=()
# step NAME COMMAND...: runs a step, reports and remembers how long it took.
step() {
  local name=$1 start end
  shift
  echo "== $name"
  start=$(date +%s)
  "$@"
  end=$(date +%s)
  timings+=("$(printf '%6d s  %s' $((end - start)) "$name")")
  echo "== $name: $((end - start)) s"
}

# logged LOG COMMAND...: runs a noisy command with its output in LOG, and shows the end
# of LOG if it fails.
logged() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "Failed: $*" >&2
    echo "Full log: $log; the scratch folder $scratch is kept, and a rerun goes on from it." >&2
    return 1
  fi
}

# ---------------------------------------------------------------------------------------
# Packages

host_packages=(
  # the cross compilers, binutils and the Windows headers and import libraries
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  # building
  cmake ninja-build pkg-config perl
  # Qt's code generators and their CMake packages for the build machine, same version
  qt6-base-dev qt6-base-dev-tools
  # fetching and unpacking Debian source packages
  dpkg-dev xz-utils
)

install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "${missing[@]}"
  fi
}

# apt-get source needs a deb-src entry. Without one, the machine's own Debian entries are
# copied with "deb-src" as their type: the same mirror, suites and components.
ensure_deb_src() {
  if ! grep -rqsE '^(Types:.*deb-src|deb-src[[:space:]])' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    local tmp
    tmp=$(mktemp)
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      # deb822 format: every stanza whose types include "deb".
      awk 'BEGIN { RS = ""; ORS = "\n\n" }
           /(^|\n)Types:[^\n]*[[:space:]]deb([[:space:]]|$)/ {
             sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
        /etc/apt/sources.list.d/debian.sources >"$tmp"
      if [ -s "$tmp" ]; then
        as_root install -m 644 "$tmp" /etc/apt/sources.list.d/debian-src.sources
        echo "Added /etc/apt/sources.list.d/debian-src.sources"
      fi
    elif [ -f /etc/apt/sources.list ]; then
      # one-line format: every Debian "deb" line.
      sed -nE 's/^deb([[:space:]].*debian.*)$/deb-src\1/p' /etc/apt/sources.list >"$tmp"
      if [ -s "$tmp" ]; then
        as_root install -m 644 "$tmp" /etc/apt/sources.list.d/debian-src.list
        echo "Added /etc/apt/sources.list.d/debian-src.list"
      fi
    fi
    rm -f "$tmp"
    as_root apt-get update -qq
  fi
  if [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
    as_root apt-get update -qq
  fi
  if [ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]; then
    echo "apt has no deb-src entry for Debian's archive; add one and run again." >&2
    return 1
  fi
}

# ---------------------------------------------------------------------------------------
# Sources

# fetch_source PACKAGE UPSTREAM_VERSION: downloads and unpacks a Debian source package
# (with Debian's patches applied) into the scratch folder, unless it is there already,
# and checks that it is the version this script is written for.
fetch_source() {
  local package=$1 want=$2 dir version
  dir=$(find "$scratch/src" -maxdepth 1 -type d -name "$package-*" | head -n 1)
  if [ -z "$dir" ] || [ ! -f "$dir/.numbelo-unpacked" ]; then
    [ -n "$dir" ] && rm -rf "$dir"
    (cd "$scratch/src" && logged "$scratch/log/source-$package.txt" apt-get source "$package")
    dir=$(find "$scratch/src" -maxdepth 1 -type d -name "$package-*" | head -n 1)
    touch "$dir/.numbelo-unpacked"
  fi
  version=$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)
  echo "$package $version"
  case "$version" in
    "$want"+* | "$want"-*) ;;
    *)
      echo "Debian's $package is $version; this script is written for $want." >&2
      return 1
      ;;
  esac
  echo "$package $version" >>"$scratch/source-versions.txt"
}

fetch_sources() {
  mkdir -p "$scratch/src"
  rm -f "$scratch/source-versions.txt"
  fetch_source qt6-base "$qt_version"
  fetch_source libsdl2 "$sdl_version"
}

# ---------------------------------------------------------------------------------------
# Qt

qt_source() { find "$scratch/src" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1; }

configure_qt() {
  # Features a Widgets program does not need are off, as are those that would look for
  # libraries on the build machine. Zlib, libpng, PCRE2, HarfBuzz, FreeType and
  # double-conversion are Qt's bundled copies.
  #  - Debian's repacked source has no src/3rdparty/wintab, which tablet events need.
  #  - Direct2D is off (its platform plugin is not needed). QtGui then leaves out the
  #    DirectWrite 3 font database, which the windows plugin still refers to unless
  #    DirectWrite 3 is off as well.
  #  - zstd has no bundled copy; rcc then writes zlib-compressed resources.
  #  - OpenGL is off as configure's -no-opengl puts it (INPUT_opengl=no), and its dynamic
  #    variant by name too: FEATURE_opengl alone leaves "dynamic OpenGL" on, with which the
  #    windows plugin does not compile, and a build folder keeps features it once had.
  #  - FreeType stays: the offscreen plugin's font database on Windows is FreeType's.
  logged "$scratch/log/qt-configure.txt" \
    cmake -G Ninja -S "$(qt_source)" -B "$scratch/build/qt" \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
      -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_SHARED_LIBS=ON \
      -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
      -DQT_HOST_PATH=/usr \
      -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
      -DFEATURE_pkg_config=OFF \
      -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_testlib=ON \
      -DFEATURE_accessibility=ON \
      -DFEATURE_network=OFF -DFEATURE_sql=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF \
      -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
      -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
      -DFEATURE_xml=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_zstd=OFF \
      -DFEATURE_png=ON -DFEATURE_jpeg=OFF \
      -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
      -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
      -DFEATURE_system_doubleconversion=OFF \
      -DFEATURE_tabletevent=OFF \
      -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
}

compile_qt() {
  logged "$scratch/log/qt-build.txt" cmake --build "$scratch/build/qt" --parallel "$(nproc)"
}

install_qt() {
  logged "$scratch/log/qt-install.txt" cmake --install "$scratch/build/qt" --strip
}

# ---------------------------------------------------------------------------------------
# SDL2

build_sdl() {
  local src
  src=$(find "$scratch/src" -maxdepth 1 -type d -name 'libsdl2-*' | head -n 1)
  # The program loads SDL2.dll with LoadLibrary and uses nothing but sound, so joystick,
  # haptic, sensor, render and the rest are off. Video stays on, without OpenGL or
  # Vulkan: in SDL 2.26 the Windows-only functions every Windows build exports
  # (SDL_RegisterApp and friends) live in the Windows video driver, and the DLL does not
  # link without it.
  logged "$scratch/log/sdl-configure.txt" \
    cmake -G Ninja -S "$src" -B "$scratch/build/sdl" \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
      -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DCMAKE_BUILD_TYPE=Release \
      -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
      -DSDL_AUDIO=ON -DSDL_WASAPI=ON -DSDL_DIRECTX=ON -DSDL_DISKAUDIO=ON -DSDL_DUMMYAUDIO=ON \
      -DSDL_VIDEO=ON -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF \
      -DSDL_OFFSCREEN=OFF -DSDL_DUMMYVIDEO=OFF -DSDL_RENDER=OFF \
      -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF \
      -DSDL_LOCALE=OFF -DSDL_MISC=OFF
  logged "$scratch/log/sdl-build.txt" cmake --build "$scratch/build/sdl" --parallel "$(nproc)"
  logged "$scratch/log/sdl-install.txt" cmake --install "$scratch/build/sdl" --strip
}

# ---------------------------------------------------------------------------------------

finish() {
  local info=$prefix/numbelo-toolchain.txt file
  # What a program needs from this folder, checked before the folder is called finished.
  for file in lib/cmake/Qt6/Qt6Config.cmake lib/cmake/SDL2/SDL2Config.cmake lib/pkgconfig/sdl2.pc \
    bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll bin/SDL2.dll \
    plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll \
    plugins/styles/qwindowsvistastyle.dll include/SDL2/SDL.h; do
    if [ ! -f "$prefix/$file" ]; then
      echo "Missing after the build: $prefix/$file" >&2
      return 1
    fi
  done
  {
    echo "Built by tools/windows/build-toolchain.sh (recipe $recipe_hash) on $(date -u +%Y-%m-%dT%H:%M:%SZ)"
    echo "Compiler: $(x86_64-w64-mingw32-g++-posix --version | head -n 1)"
    echo "Sources (Debian source packages):"
    sed 's/^/  /' "$scratch/source-versions.txt"
    echo "Step times:"
    printf '  %s\n' "${timings[@]}"
    echo
    echo "Qt's configure summary:"
    cat "$scratch/build/qt/config.summary"
  } >"$info"
  date -u +%Y-%m-%dT%H:%M:%SZ >"$stamp"
  rm -rf "$scratch"
}

# A folder without its stamp is from a build that stopped while installing: start it anew.
rm -rf "$prefix"
mkdir -p "$scratch/log" "$scratch/build"
unset NUMBELO_WINDOWS_PREFIX

step "apt: packages" install_missing "${host_packages[@]}"
step "apt: deb-src entry" ensure_deb_src
step "sources: download and unpack" fetch_sources
step "Qt: configure" configure_qt
step "Qt: compile" compile_qt
step "Qt: install" install_qt
step "SDL2: configure, compile, install" build_sdl
step "finish" finish

echo "Step times:"
printf '  %s\n' "${timings[@]}"
echo "Installed: $(du -sh "$prefix" | cut -f1) in $prefix"
echo "$prefix" >&3
