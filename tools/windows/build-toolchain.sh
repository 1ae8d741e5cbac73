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
# source tree. The key names the upstream versions and hashes everything the build depends
# on: this script, cmake/toolchains/mingw-w64-x86_64.cmake, and the Debian versions of the
# qt6-base and libsdl2 sources, of the cross compiler and Windows run-time
# (gcc-mingw-w64-x86-64-posix, mingw-w64-x86-64-dev) and of the build machine's Qt tools
# (qt6-base-dev-tools). A Debian update of any of them builds a new folder; one key is one
# build. A folder is finished when its stamp file exists, written once all is installed and
# checked; then this script does nothing. Standard output carries only the folder's path,
# so that
#   prefix=$(tools/windows/build-toolchain.sh)
# works; progress and the time of each step go to standard error.
#
# Qt and SDL are built as DLLs: every test program and the application then share one
# copy of Qt instead of each carrying a static one, the platform and style plugins load
# the way Qt loads them everywhere, and links stay fast.
#
# Needs Debian 12, as root or with sudo: what is missing is installed with apt. The
# sources are fetched through an apt configuration of this script's own (a deb-src list made
# from the machine's Debian archives, and its own lists folder, in the cache folder):
# nothing under /etc/apt or /var/lib/apt is written. A fresh build takes about half an hour
# on two cores, nearly all of it Qt. An interrupted or failed build keeps its scratch folder (sources and build trees,
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

cache_root=${NUMBELO_WINDOWS_CACHE:-$HOME/.cache/numbelo/windows}

# ---------------------------------------------------------------------------------------
# Helpers

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
# The installed packages whose Debian version is part of the key.
keyed_packages=(gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev qt6-base-dev-tools)
# The source packages built here.
source_packages=(qt6-base libsdl2)

# shellcheck source=tools/install_missing.sh
source "$root/tools/install_missing.sh"

# ---------------------------------------------------------------------------------------
# Sources, through an apt configuration of our own

# The source lists live in the cache folder: a deb-src line for each of the machine's own
# Debian archives (those whose Release says "Origin: Debian"; third-party archives are left
# out), and lists and caches apt fills there. The machine's apt configuration is only read.
apt_dir=$cache_root/apt
private_apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
)
# As root, apt would download as its "_apt" user, who cannot enter a private cache folder.
[ "$(id -u)" -eq 0 ] && private_apt_options+=(-o "APT::Sandbox::User=root")

write_private_sources() {
  local keyring=/usr/share/keyrings/debian-archive-keyring.gpg option="" lines
  [ -f "$keyring" ] && option="[signed-by=$keyring] "
  lines=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' \
    'Origin: Debian' 'Target-Of: deb' | sort -u | sed "s|^|deb-src $option|")
  if [ -z "$lines" ]; then
    echo "apt knows no Debian archive on this machine (no index with \"Origin: Debian\")." >&2
    return 1
  fi
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  echo "$lines" >"$apt_dir/sources.list"
}

refresh_private_lists() {
  write_private_sources
  apt-get "${private_apt_options[@]}" -qq update
}

# source_version PACKAGE: the newest version of a source package in the private lists.
source_version() {
  local best="" version
  for version in $(apt-cache "${private_apt_options[@]}" showsrc --only-source "$1" 2>/dev/null |
    sed -n 's/^Version: //p'); do
    if [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best"; then best=$version; fi
  done
  echo "$best"
}

# What one build is made of: a line per source and keyed package, with its Debian version.
describe_inputs() {
  local package version
  for package in "${source_packages[@]}"; do
    version=$(source_version "$package")
    if [ -z "$version" ]; then
      echo "No source package $package in $apt_dir/lists; run $0 without options." >&2
      return 1
    fi
    echo "source $package $version"
  done
  for package in "${keyed_packages[@]}"; do
    version=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null) || version=""
    if [ -z "$version" ]; then
      echo "$package is not installed; run $0 without options." >&2
      return 1
    fi
    echo "installed $package $version"
  done
}

# Sets prefix, stamp and scratch from the inputs and the recipe.
choose_folder() {
  inputs=$(describe_inputs)
  key=$( (cat "${BASH_SOURCE[0]}" "$toolchain_file" && echo "$inputs") | sha256sum | cut -c1-12)
  prefix=$cache_root/qt-${qt_version}_sdl-${sdl_version}_$key
  stamp=$prefix/numbelo-toolchain.stamp
  scratch=$cache_root/scratch-$key
}

if $print_only; then
  choose_folder
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

mkdir -p "$cache_root"
step "apt: packages" install_missing "${host_packages[@]}"
step "apt: source lists (private)" refresh_private_lists
choose_folder
already_built
# One build at a time in a cache folder: a second caller waits, then finds the first's
# result instead of deleting the folder it is filling.
exec 9>"$cache_root/.lock"
if ! flock -n 9; then
  echo "Waiting for another build in $cache_root to end..."
  flock 9
fi
already_built

# fetch_source PACKAGE UPSTREAM_VERSION: downloads and unpacks the exact Debian version of
# the key (with Debian's patches applied) into the scratch folder, unless it is there already.
fetch_source() {
  local package=$1 want=$2 exact dir version
  exact=$(echo "$inputs" | awk -v p="$package" '$1 == "source" && $2 == p { print $3 }')
  case "$exact" in
    "$want"+* | "$want"-*) ;;
    *)
      echo "Debian's $package is $exact; this script is written for $want." >&2
      return 1
      ;;
  esac
  dir=$(find "$scratch/src" -maxdepth 1 -type d -name "$package-*" | head -n 1)
  if [ -n "$dir" ] && { [ ! -f "$dir/.numbelo-unpacked" ] ||
    [ "$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)" != "$exact" ]; }; then
    rm -rf "$dir"
    dir=""
  fi
  if [ -z "$dir" ]; then
    (cd "$scratch/src" && logged "$scratch/log/source-$package.txt" \
      apt-get "${private_apt_options[@]}" source "$package=$exact")
    dir=$(find "$scratch/src" -maxdepth 1 -type d -name "$package-*" | head -n 1)
    touch "$dir/.numbelo-unpacked"
  fi
  version=$(dpkg-parsechangelog -l "$dir/debian/changelog" -S Version)
  echo "$package $version"
}

fetch_sources() {
  mkdir -p "$scratch/src"
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
  #  - The DLLs are what both installers carry, so they are built for size (-Os), and
  #    widgets, dialogs and formats no part of Numbelo uses are left out: the graphics view,
  #    the file, colour and font dialogs, wizards, MDI, dock widgets, calendars and
  #    date editors, PDF, ODF and Markdown writing, animated images, undo, shared memory.
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
      -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF \
      -DFEATURE_optimize_size=ON \
      -DFEATURE_graphicsview=OFF -DFEATURE_filedialog=OFF -DFEATURE_fscompleter=OFF \
      -DFEATURE_filesystemmodel=OFF -DFEATURE_colordialog=OFF -DFEATURE_fontdialog=OFF \
      -DFEATURE_fontcombobox=OFF -DFEATURE_errormessage=OFF \
      -DFEATURE_wizard=OFF -DFEATURE_mdiarea=OFF -DFEATURE_dockwidget=OFF \
      -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_keysequenceedit=OFF \
      -DFEATURE_lcdnumber=OFF -DFEATURE_dial=OFF -DFEATURE_columnview=OFF \
      -DFEATURE_splashscreen=OFF -DFEATURE_undoview=OFF -DFEATURE_undogroup=OFF \
      -DFEATURE_undostack=OFF -DFEATURE_undocommand=OFF -DFEATURE_pdf=OFF \
      -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF \
      -DFEATURE_textmarkdownwriter=OFF -DFEATURE_movie=OFF -DFEATURE_systemtrayicon=OFF \
      -DFEATURE_sharedmemory=OFF -DFEATURE_systemsemaphore=OFF
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
    echo "Built by tools/windows/build-toolchain.sh (key $key) on $(date -u +%Y-%m-%dT%H:%M:%SZ)"
    echo "Compiler: $(x86_64-w64-mingw32-g++-posix --version | head -n 1)"
    echo "Inputs (Debian versions):"
    echo "$inputs" | sed 's/^/  /'
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
# The toolchain file then looks for no finished folder: this build is making one.
export NUMBELO_BUILDING_WINDOWS_LIBRARIES=1

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
