#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program of the Windows build under Wine: ctest's emulator there.
#   wine-run.sh PROGRAM.exe [ARGUMENT...]
# NUMBELO_WINE_PREFIX is the Wine prefix the tests share, made on first use;
# NUMBELO_WINE_BUILD the build folder, where the DLLs, Qt's plugins and the fonts are.
#
# Wine hides every QT_* variable from Windows programs: each is handed on as WINEQT_*, which
# Wine passes without its first four letters. The offscreen platform finds the program's own
# faces in the build's fonts folder. Wine's exit status is 0 also when a program could not
# start at all, so the run passes only when Qt Test's own log, written to a file (a Windows
# program's standard output does not always reach ctest through Wine) and shown afterwards,
# ends with its totals and nothing failed.
set -euo pipefail
program=$1
shift
export WINEPREFIX=${NUMBELO_WINE_PREFIX:?} WINEDEBUG=${WINEDEBUG:--all}
# No prompt to fetch Wine's .NET and HTML engines into a new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
build=${NUMBELO_WINE_BUILD:?}
# The tests draw offscreen; a Windows program one of them starts (Notepad) finds no display and
# ends at once instead of opening a window on the developer's desktop.
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
) 9>"$WINEPREFIX.lock"

while IFS='=' read -r name _; do
  [[ $name == QT_* ]] && export "WINE$name=${!name}"
done < <(env)
export WINEQT_QPA_FONTDIR="Z:$build/fonts" WINEQT_PLUGIN_PATH="Z:$build"

log=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$log"' EXIT
status=0
wine "$program" "$@" -o "Z:$log,txt" >/dev/null || status=$?
cat "$log"
if ! grep -q '^Totals: ' "$log"; then
  echo "wine-run.sh: $program did not run to its end under Wine (status $status)" >&2
  exit 1
fi
grep -q '^Totals: .*, 0 failed,' "$log" && [ "$status" -eq 0 ]
