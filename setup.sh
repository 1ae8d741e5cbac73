#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One-command set-up on Debian 12.
#   ./setup.sh start   install what is missing, build, and start Numbelo
#   ./setup.sh windows install what is missing, build the Windows libraries once (about half an
#                      hour, then cached), and make the Windows program and its installers
#   ./setup.sh test    install what is missing, build both presets and the Windows program, and
#                      run every test, the Windows ones under Wine
set -euo pipefail
cd "$(dirname "$0")"

build_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-private-dev libfontconfig-dev libsdl2-dev
  libfluidsynth-dev timgm6mb-soundfont fonts-liberation2 fonts-dejavu-core fonts-urw-base35
  fonts-comic-neue)
test_packages=(xvfb xauth xdotool x11-utils x11-xkb-utils imagemagick sox clang libclang-rt-14-dev libxdamage-dev
  appstream desktop-file-utils dpkg-dev file valgrind lintian locales openbox dbus-daemon at-spi2-core
  python3-pyatspi)
# The sound servers the restart tests and the benchmarks run privately: PulseAudio, and PipeWire
# with WirePlumber and its pulse server; XTest for the benchmark's key presses.
test_packages+=(pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber libxtst-dev)
# The installed Windows program's checks: each digit's sound found in a recording (NumPy), the
# text of a box on the screen read from the clipboard (xclip).
test_packages+=(python3-numpy xclip)
# The Windows program: the cross compilers come with the libraries' build
# (tools/windows/build-toolchain.sh); its two installers (NSIS and an MSI made with wixl), the
# faces and the licences it ships (cmake/InstallWindows.cmake); Wine to run its tests, on a
# display of its own, with the faces Windows itself has (fonts-wine).
windows_packages=(nsis wixl wine wine64 fonts-wine bc fonts-liberation2 fonts-dejavu-core fonts-urw-base35
  fonts-comic-neue libqt6core6 libsdl2-2.0-0 gcc-mingw-w64-base mingw-w64-common)
# The locales the tests run under besides C.UTF-8: the children's own (Indonesian), another with
# a decimal comma (German) and one with other case rules (Turkish).
test_locales=(id_ID de_DE tr_TR)

# shellcheck source=tools/install_missing.sh
source tools/install_missing.sh

# A locale glibc has not generated is silently "C": generate them as an installed desktop has.
generate_locales() {
  for name in "${test_locales[@]}"; do
    locale -a 2>/dev/null | grep -qx "$name.utf8" || as_root localedef -i "$name" -f UTF-8 "$name.UTF-8"
  done
}

build() { # PRESET [TARGET...]
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" ${2:+--target "${@:2}"}
}

# The Windows program and its two installers, NSIS's and the MSI package, in build-windows/.
build_windows() {
  install_missing "${windows_packages[@]}"
  tools/windows/build-toolchain.sh >/dev/null
  build windows all installer msi
}

case "${1:-}" in
  start)
    install_missing "${build_packages[@]}"
    build default numbelo
    exec ./build/numbelo
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    generate_locales
    build default
    build asan
    build_windows
    status=0
    ctest --preset default || status=1
    ctest --preset asan || status=1
    ctest --preset windows || status=1
    # Bounded abuse beyond the test suite: a minute of fuzzing per target, one memcheck run.
    tests/system/fuzz/run.sh 60 || status=1
    tests/system/valgrind.sh build || status=1
    exit $status
    ;;
  windows)
    build_windows
    ls -l build-windows/numbelo-*-setup.exe build-windows/numbelo-*.msi
    ;;
  *)
    echo "usage: $0 start|windows|test" >&2
    exit 2
    ;;
esac
