#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed Windows program heard through the sound path a child's computer has: SDL's
# WASAPI output, here Wine's, playing into a private PulseAudio server
# (tests/support/sound_servers.sh) whose sink's monitor is recorded. The stream must open on
# WASAPI (not on SDL's silent driver, where a program that found no device falls back) and the
# greeting must be heard at the sink. The other Windows tests play into SDL's file driver.
#
#   sound.sh OUT     (NUMBELO_WINE_PREFIX: the prefix the installer test installed into)
set -euo pipefail
out=$1
mkdir -p "$out"
export WINEPREFIX=${NUMBELO_WINE_PREFIX:?} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
installed="$WINEPREFIX/drive_c/Program Files/Numbelo"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if [ -z "${NUMBELO_INSIDE_X:-}" ]; then
  exec env NUMBELO_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
[ -f "$installed/numbelo.exe" ] || fail "the program is not installed"
wineserver -w

. "$(dirname "$0")/../../support/sound_servers.sh"
folder=$(mktemp -d "${TMPDIR:-/tmp}/numbelo-sound.XXXXXX")
pid=
recorder=
end() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "$recorder" ] || kill "$recorder" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  server_stop
  rm -rf "$folder"
}
trap end EXIT
unset SDL_AUDIODRIVER AUDIODEV PULSE_SERVER DBUS_SESSION_BUS_ADDRESS
# The sink kept awake as a card's, so that the greeting is not held back.
server_awake=1
server_start pulseaudio "$folder/pulse" || fail "the PulseAudio server did not start"
export "${server_env[@]}"
parec -d lesson.monitor --latency-msec=10 --raw --format=s16le --rate=48000 --channels=1 >"$out/heard.raw" &
recorder=$!

log=$out/program.log
export WINEQT_LOGGING_RULES="numbelo.sound.info=true" WINEQT_FORCE_STDERR_LOGGING=1
wine "C:\\Program Files\\Numbelo\\numbelo.exe" >"$log" 2>&1 &
pid=$!
for _ in $(seq 300); do
  grep -aq 'numbelo.sound: opened' "$log" && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended: $(tail -n 5 "$log")"
  sleep 0.1
done
opened=$(grep -a -m 1 'numbelo.sound: opened' "$log" | tr -d '\r' || true)
echo "${opened:-the sound output never opened}"
# The greeting is under a second long.
sleep 3
kill "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=

[[ $opened == "numbelo.sound: opened on wasapi: "* ]] || fail "not on WASAPI: '$opened'"
# Louder than -40 dBFS somewhere: the greeting reached the sink.
od -An -v -t d2 -w2 "$out/heard.raw" | awk '$1 > 328 || $1 < -328 { loud = 1 } END { exit !loud }' ||
  fail "nothing was heard at the sink ($(stat -c %s "$out/heard.raw") bytes recorded)"
echo "sound passed"
