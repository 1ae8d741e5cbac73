#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A child's whole lesson on the real program, on a desktop as children have it: its own X
# server with a window manager, the accessibility bus a screen reader uses, sound captured to a
# file. Type a name, start with F2, switch to a dead-key layout, answer the first question
# right (read as a screen reader reads it), wander through the menus with the keyboard and the
# mouse and type on, answer every other question wrong three times and see the right answer,
# hold Enter down on the last one, read the report's mark, decline another lesson, and check
# that sound came out and the window went back to idle. Screenshots are kept in the output
# folder.
#
#   lesson.sh PROGRAM OUTPUT_FOLDER
# E2E_LOCALE runs the program under that locale (as LANG and LC_ALL), whose decimal point
# must be E2E_DECIMAL_POINT: a locale glibc has not generated is silently "C".
set -euo pipefail
program=$1
out=$2
mkdir -p "$out"
if [ -z "${E2E_INSIDE_X:-}" ]; then
  exec env E2E_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" \
    dbus-run-session -- "$0" "$@"
fi
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

fail() { echo "FAIL: $*" >&2; exit 1; }

# The program runs under the locale; the checks here read numbers the C way.
locale=${E2E_LOCALE:-C.UTF-8}
separator=$(LANG=$locale LC_ALL=$locale locale decimal_point 2>/dev/null)
[ "$separator" = "${E2E_DECIMAL_POINT:-.}" ] ||
  fail "locale $locale is not in force: its decimal point reads '$separator'"

# The accessibility bus, switched on as a screen reader switches it on, and a window manager.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
for _ in $(seq 50); do
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:ScreenReaderEnabled \
    variant:boolean:true >/dev/null 2>&1 && break
  sleep 0.1
done
openbox >/dev/null 2>&1 &
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
readable() { /usr/bin/python3 "$(dirname "$0")/readable.py" "$@"; }
. "$(dirname "$0")/../../support/answer.sh"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/sound.raw"
rm -f "$out/sound.raw"
LANG=$locale LC_ALL=$locale "$program" >"$out/program.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

main_window() {
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended at start: $(head -n 5 "$out/program.log")"
    ids=$(xdotool search --onlyvisible --name '^Numbelo 2000$' 2>/dev/null) &&
      { echo "${ids%%$'\n'*}"; return 0; }
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

# The first question right at the first try, its answer worked out from what a screen reader
# reads on the board.
question=$(readable question)
answer=$(answer_to "$question") || fail "no question on the board: '$question'"
xdotool type --delay 30 "$answer"
key Return
[ "$(readable number)" = 2 ] || fail "the right answer to '$question' did not bring question 2"

# Through the menus with the keyboard, as a child exploring them (the second way switches the
# music on, the third off again): the digits typed next still go into the answer box.
for keys in "alt+f Escape alt+p Escape Escape" "alt+f Escape alt+p Up Return" \
  "alt+f Escape alt+p Up Return" "alt+p Escape Escape"; do
  key $keys
  key 9
  [ "$(blue_in_answer)" -gt 0 ] || fail "after $keys the typed digit went nowhere"
  key BackSpace
done

# The menu bar left holding the keyboard, as a child leaves it: Alt alone, and "Pilihan" opened
# by keys or by the mouse, then one Escape. The bar shows it (a highlighted title), and the
# digits typed next still go into the answer box, and it lets go of the keyboard.
menu_bar() { import -window "$window" png:- 2>/dev/null | convert png:- -crop 334x20+0+0 txt:- | md5sum; }
plain=$(menu_bar)
for keys in "alt" "alt+p Escape" "click Escape"; do
  if [ "${keys%% *}" = click ]; then
    xdotool mousemove --window "$window" 58 9 click 1 mousemove --window "$window" 160 200
    sleep 0.3
    key Escape
  else
    key $keys
  fi
  [ "$(menu_bar)" != "$plain" ] || fail "after $keys the menu bar holds the keys but shows nothing"
  key 9 8
  [ "$(blue_in_answer)" -gt 0 ] || fail "after $keys the typed digits went nowhere"
  [ "$(menu_bar)" = "$plain" ] || fail "after $keys and digits the menu bar still holds the keys"
  key BackSpace BackSpace
done

for question in $(seq 2 11); do
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
# The window manager frames it as a fixed dialog with the program's icon.
xprop -id "$report" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the report has no icon"
xprop -id "$report" _NET_WM_ALLOWED_ACTIONS | grep -q 'RESIZE\|MAXIMIZE' &&
  fail "the report can be resized or maximised"
xdotool search --onlyvisible --name '^Confirm$' >/dev/null 2>&1 &&
  fail "held Enter answered the report"
shot report
mark=$(readable dialog Information | grep -a '^Nilai belajar : ' || true)
[ "$mark" = "Nilai belajar : 9${separator}09" ] || fail "the report's mark reads '$mark'"
echo "report: $mark"
focus "$report"
key Return
confirm=$(dialog_window 'Confirm') || fail "no offer to learn again"
focus "$confirm"
key n
focus "$window"
sleep 0.3
[ "$(blue_in_bubble)" -eq 0 ] || fail "the window did not go back to idle"
shot idle "$window"

# Every thread but the window's has a name of its own (platform/README.md lists them).
threads=$(for task in /proc/"$pid"/task/*; do [ "${task##*/}" = "$pid" ] || cat "$task/comm"; done)
grep -qx "$(cat /proc/"$pid"/comm)" <<<"$threads" && fail "a thread is unnamed: $(echo $threads)"

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
