#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A child's whole lesson on the real program: start it under its own X server with sound
# captured to a file, type a name, start with F2, switch to a dead-key layout, answer every
# question (three wrong tries and the shown answer each time), hold Enter down on the last
# one, read the report, decline another lesson, and check that sound came out and the window
# went back to idle. Screenshots are kept in the output folder.
#
#   lesson.sh PROGRAM OUTPUT_FOLDER
set -euo pipefail
program=$1
out=$2
mkdir -p "$out"
if [ -z "${E2E_INSIDE_X:-}" ]; then
  exec env E2E_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" "$0" "$@"
fi
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/sound.raw"
rm -f "$out/sound.raw"
"$program" >"$out/program.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

main_window() {
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended at start: $(head -n 5 "$out/program.log")"
    xdotool search --onlyvisible --name '^Numbelo 2000$' 2>/dev/null | head -n 1 && return 0
    sleep 0.1
  done
}

# The newest visible window with this title other than the main window: a dialog.
dialog_window() {
  local title=$1 id
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null); do
      [ "$id" != "$window" ] && { echo "$id"; return 0; }
    done
    sleep 0.05
  done
  return 1
}

focus() { xdotool windowfocus --sync "$1"; sleep 0.1; }
key() { xdotool key --delay 30 "$@"; sleep 0.08; }
shot() { import -window "${2:-root}" "$out/$1.png"; }

# Blue question text inside the bubble means a question is shown; none means idle. The answer
# box shows its digits in blue too.
blue_in() {
  import -window "$window" png:- 2>/dev/null | convert png:- -crop "$1" txt:- |
    grep -c '#0000FF' || true
}
blue_in_bubble() { blue_in 140x70+70+40; }
blue_in_answer() { blue_in 76x36+243+70; }

window=$(main_window)
[ -n "$window" ] || fail "the main window did not appear"
sleep 0.5
focus "$window"
[ "$(blue_in_bubble)" -eq 0 ] || fail "the bubble is not empty at start"

key ctrl+a
xdotool type --delay 40 "Rina"
key F2
sleep 0.3
[ "$(blue_in_bubble)" -gt 0 ] || fail "no question in the bubble after F2"
shot question "$window"

# Enter on the empty answer box: the error box.
key Return
errorbox=$(dialog_window 'Numbelo 2000') || fail "no error box for an empty answer"
shot error-box
focus "$errorbox"
key Return
focus "$window"

# A dead-key layout (it stays only because the X server runs with -noreset): dead acute then a
# compose "á", which the answer box refuses like any letter; digits still go in.
setxkbmap us -variant intl
setxkbmap -query | grep -q '^variant: *intl' || fail "the dead-key layout was not set"
key dead_acute a
errorbox=$(dialog_window 'Numbelo 2000') || fail "no error box for a composed letter"
focus "$errorbox"
key Return
focus "$window"
[ "$(blue_in_answer)" -eq 0 ] || fail "the composed letter went into the answer box"
key 9
[ "$(blue_in_answer)" -gt 0 ] || fail "a digit did not go in with the dead-key layout"
key BackSpace

for question in $(seq 11); do
  for try in 1 2 3; do
    xdotool type --delay 30 "999"
    key Return
  done
  reveal=$(dialog_window 'Numbelo 2000') || fail "no right answer shown for question $question"
  focus "$reveal"
  [ "$question" -lt 11 ] || break
  key Return
  focus "$window"
done

# Enter held down on the last answer: its repeats must neither throw the report away nor
# answer the offer to learn again.
xdotool keydown Return
sleep 1.5
xdotool keyup Return
report=$(dialog_window 'Information') || fail "no report, or held Enter threw it away"
xdotool search --onlyvisible --name '^Confirm$' >/dev/null 2>&1 &&
  fail "held Enter answered the report"
shot report
focus "$report"
key Return
confirm=$(dialog_window 'Confirm') || fail "no offer to learn again"
focus "$confirm"
key n
focus "$window"
sleep 0.3
[ "$(blue_in_bubble)" -eq 0 ] || fail "the window did not go back to idle"
shot idle "$window"

# "Keluar", the last item of the File menu, ends the program.
key alt+f
key Up
key Return
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not exit"
wait "$pid" || fail "the program exited with an error: $(tail -n 5 "$out/program.log")"
trap - EXIT

[ -s "$out/sound.raw" ] || fail "no sound was captured"
sox -t raw -r 48000 -e floating-point -b 32 -c 2 -L "$out/sound.raw" "$out/sound.wav"
peak=$(sox "$out/sound.wav" -n stats 2>&1 | awk '/Pk lev dB/ {print $4}')
echo "captured sound peak: $peak dBFS"
awk -v p="$peak" 'BEGIN { exit !(p != "-inf" && p > -30) }' || fail "the captured sound is silent"

# No click where one sound cuts off another. The mixer starts a sound, and begins the fade of
# the one it cuts off, only at the start of a device period (256 frames), so every cut lies on
# a period boundary of the recording. There the step between the boundary's two frames, less
# the larger step on either side of it (the sounds' own slope), must stay within 0.05 of full
# scale; a sound dropped in one sample shows as a jump of its whole level. (The spoken digits'
# own steps reach 0.2 of full scale at 48 kHz, so the plain steps of the whole recording say
# nothing about cuts.)
jump=$(sox "$out/sound.wav" -t dat - | awk -v period=256 '
  /^;/ { next }
  {
    for (c = 1; c <= 2; c++) {
      step = $(c + 1) - last[c]; if (step < 0) step = -step
      if (n >= 2 && (n - 1) % period == 0) {
        side = before[c] > step ? before[c] : step
        excess = boundary[c] - side
        if (excess > worst) { worst = excess; at = n - 1 }
      }
      before[c] = boundary[c]; boundary[c] = step; last[c] = $(c + 1)
    }
    n++
  }
  END { printf "%.4f at frame %d of %d\n", worst, at, n }')
echo "largest jump at a cut, beyond the sounds' own slope: $jump"
awk -v j="${jump%% *}" 'BEGIN { exit !(j <= 0.05) }' || fail "a cut clicks: $jump"
echo "lesson passed: 11 questions, report, back to idle"
