#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound server goes away in the middle of a lesson, as on a desktop when it crashes or an
# upgrade restarts it: the real program plays on a private server (support/sound_servers.sh),
# what a child hears is recorded at the null sink's monitor. A digit is heard before; the
# server is ended while the window is in use; once it is back, the first or at the latest the
# second digit typed is heard again. Then the music: switched on, the server restarted, and the
# music comes back by itself. Last, a server that stays away: the lesson goes on in silence,
# with no error box, and the program ends when asked.
#
#   server_restart.sh KIND PROGRAM OUTPUT_FOLDER     (KIND: pulseaudio or pipewire)
set -euo pipefail
kind=$1
program=$2
out=$3
mkdir -p "$out"
out=$(cd "$out" && pwd)
if [ -z "${E2E_INSIDE_X:-}" ]; then
  exec env E2E_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" "$0" "$@"
fi
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

fail() {
  echo "FAIL ($kind): $*" >&2
  tail -n 5 "$out/program.log" >&2 || true
  exit 1
}

# Nothing of the machine's own sound set-up.
unset PULSE_SERVER PULSE_SINK PULSE_RUNTIME_PATH PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR \
  DBUS_SESSION_BUS_ADDRESS SDL_AUDIODRIVER AUDIODEV
server_awake=1
. "$(dirname "$0")/../../support/sound_servers.sh"
rm -rf "$out/server"
pid=
recorder=
finish() {
  # Everything is ended, whatever ending one of them returns.
  set +e
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  server_stop
}
trap finish EXIT
server_start "$kind" "$out/server" || fail "the $kind server did not start"

env "${server_env[@]}" "$program" >"$out/program.log" 2>&1 &
pid=$!
window=
for _ in $(seq 300); do
  kill -0 "$pid" 2>/dev/null || fail "the program ended at start"
  window=$(xdotool search --onlyvisible --name '^Numbelo 2000$' 2>/dev/null | head -n 1) &&
    [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "the main window did not appear"
sleep 0.5
key() { xdotool key --delay 30 "$@"; sleep 0.08; }
focus() { xdotool windowfocus --sync "$window"; sleep 0.1; }
focus
key ctrl+a
xdotool type --delay 40 Rina
key F2
sleep 1.5 # the greeting ends

# What the monitor records over SECONDS: its peak in dBFS.
record() { # NAME SECONDS [KEY]
  local file=$out/$1.raw
  env "${server_env[@]}" parec -d lesson.monitor --latency-msec=20 --raw --format=s16le --rate=48000 --channels=1 \
    >"$file" &
  recorder=$!
  sleep 0.3
  [ -z "${3:-}" ] || xdotool key "$3"
  sleep "$2"
  kill "$recorder" 2>/dev/null
  wait "$recorder" 2>/dev/null || true
  recorder=
  sox -t raw -r 48000 -e signed -b 16 -c 1 "$file" -n stats 2>&1 | awk '/Pk lev dB/ { print $4 }'
}
loud() { awk -v p="$1" 'BEGIN { exit !(p != "" && p != "-inf" && p > -30) }'; }
alive() {
  kill -0 "$pid" 2>/dev/null || fail "the program ended: $*"
  # No dialog: the only window of that title is the main window.
  [ "$(xdotool search --onlyvisible --name '^Numbelo 2000$' | wc -l)" -eq 1 ] ||
    fail "a dialog appeared $*"
}
digit_heard() { # NAME DIGIT: whether the digit typed is heard
  local peak
  peak=$(record "$1" 0.8 "$2")
  key BackSpace
  echo "  digit $2: peak $peak dBFS"
  loud "$peak"
}

echo "before the server goes away:"
digit_heard before 1 || fail "a digit was not heard before the server went away"

# A crash for PipeWire, an orderly end for PulseAudio (as pulseaudio -k): both are seen.
if [ "$kind" = pipewire ]; then server_kill KILL; else server_kill TERM; fi
key 2
sleep 1
key BackSpace
alive "while the server was away"
sleep 2
server_start_again || fail "the $kind server did not start again"
echo "the server is back:"
if digit_heard after-first 3; then
  echo "  heard at the first digit"
elif digit_heard after-second 4; then
  echo "  heard at the second digit"
else
  fail "neither the first nor the second digit after the restart was heard"
fi
alive "after the restart"

# The music, switched on from the menu, comes back by itself once the server is.
key alt+f Escape alt+p Up Return
focus
peak=$(record music-before 2)
echo "music before the restart: peak $peak dBFS"
loud "$peak" || fail "the music was not heard"
if [ "$kind" = pipewire ]; then server_kill TERM; else server_kill KILL; fi
sleep 1
server_start_again || fail "the $kind server did not start again"
sleep 3
peak=$(record music-after 2)
echo "music after the restart, no key typed: peak $peak dBFS"
loud "$peak" || fail "the music did not come back after the restart"
key alt+f Escape alt+p Up Return # off again
focus

# A server that stays away: the lesson goes on in silence, and the program ends when asked.
server_kill KILL
sleep 1
for digit in 5 6 7; do key "$digit"; key BackSpace; done
key 9 Return
sleep 0.5
xdotool search --onlyvisible --name '^Numbelo 2000$' >/dev/null || fail "no window after an answer"
kill -0 "$pid" 2>/dev/null || fail "the program ended with the server away"
# The answer brought the right answer or the next question: close whatever dialog it showed.
for _ in 1 2 3; do
  [ "$(xdotool search --onlyvisible --name '^Numbelo 2000$' | wc -l)" -gt 1 ] || break
  key Return
  sleep 0.3
done
focus
key alt+f Up Return # Keluar
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end with the server away"
wait "$pid" || fail "the program ended with an error"
pid=
echo "$kind: sound came back after the restart, the music too; silence without a server"
