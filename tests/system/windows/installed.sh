#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program as a school lab gets it, under Wine: installed silently from its
# installer, used from the Start menu's folder, uninstalled silently. One Wine prefix is shared
# by the steps, in the order ctest runs them (a fixture):
#
#   installed.sh install   INSTALLER OUT   a fresh prefix; "setup.exe /S"; the files, the
#                                          Start-menu entry and the uninstall entry are there
#   installed.sh lesson    PLANTED OUT     a whole lesson on the installed program, started in
#                                          a folder holding a planted notepad.exe and DLLs
#                                          (PLANTED and the DLL beside it, which leave a trace
#                                          if they run); each digit's own sound heard where it
#                                          was typed; Readme, music on and off
#   installed.sh no-tune   -       OUT     the tune missing: the error box at start, read from
#                                          the screen, then a working window, ended by its
#                                          door button
#   installed.sh uninstall -       OUT     "uninstall.exe /S" leaves nothing of the program
#
# NUMBELO_WINE_PREFIX is the prefix. Wine's exit status is 0 whatever happens: every step
# checks the files and the state it leaves. The program's screen-reader texts (the board, the
# dialogs, the music item) come from its log (widgets/ReadableText.h); screenshots are kept in
# OUT.
set -euo pipefail
step=$1
input=$2
out=$3
mkdir -p "$out"
export WINEPREFIX=${NUMBELO_WINE_PREFIX:?} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
installed="$WINEPREFIX/drive_c/Program Files/Numbelo"
menu_entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Numbelo.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Numbelo'

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Everything in the prefix's drive C:, less what Wine itself changes as it runs.
drive_listing() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -path './users/*/Temp' -prune \
    -o -print | LC_ALL=C sort)
}

if [ "$step" != lesson ] && [ "$step" != no-tune ]; then
  case $step in
    install)
      # Windows' own faces: without them Wine draws menus and dialogs in a serif face.
      [ -s /usr/share/wine/fonts/tahoma.ttf ] || fail "Wine has no Tahoma: install fonts-wine"
      rm -rf "$WINEPREFIX"
      mkdir -p "$WINEPREFIX"
      # Made on a display: Wine sets its display devices up on the first start that has one,
      # and the first window made while it does so fails.
      xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
        bash -c 'wineboot -i >/dev/null 2>&1; wineserver -w'
      # Debian's Wine pretends to be Windows 7, which the installer refuses.
      winecfg -v win10
      wineserver -w
      drive_listing >"$WINEPREFIX/../drive-before.txt"
      size=$(stat -c %s "$input")
      echo "installer: $(basename "$input"), $((size / 1024)) KiB"
      [ "$size" -le $((30 * 1024 * 1024)) ] || fail "the installer is over 30 MB"
      start=$(date +%s.%N)
      wine "$input" /S
      wineserver -w
      echo "silent install: $(echo "$(date +%s.%N) - $start" | bc) s"
      for file in numbelo.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll SDL2.dll platforms/qwindows.dll \
        styles/qwindowsvistastyle.dll sound/0.wav sound/zamba.mid readme.txt uninstall.exe; do
        [ -s "$installed/$file" ] || fail "$file was not installed"
      done
      [ ! -e "$installed/Qt6Test.dll" ] && [ ! -e "$installed/platforms/qoffscreen.dll" ] ||
        fail "the tests' DLLs were installed"
      [ -s "$menu_entry" ] || fail "no Start-menu entry"
      wine reg query "$uninstall_key" /v DisplayVersion 2>/dev/null | grep -q '1\.0\.0\.3' ||
        fail "no uninstall entry with the version"
      ;;
    uninstall)
      [ -x "$installed/uninstall.exe" ] || [ -f "$installed/uninstall.exe" ] ||
        fail "nothing installed to uninstall"
      # The uninstaller copies itself to the temporary folder and runs from there; wait for
      # the copy too.
      wine "$installed/uninstall.exe" /S
      wineserver -w
      [ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find . | head)"
      [ ! -e "$menu_entry" ] || fail "the Start-menu entry is left"
      ! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall entry is left"
      drive_listing >"$out/drive-after.txt"
      diff -u "$WINEPREFIX/../drive-before.txt" "$out/drive-after.txt" ||
        fail "the drive is not as before installing"
      ;;
  esac
  # Wine's server, and its desktop without a display, gone before the next step.
  wineserver -w
  echo "$step passed"
  exit 0
fi

# The program on a display of its own, as on a school computer.
if [ -z "${NUMBELO_INSIDE_X:-}" ]; then
  exec env NUMBELO_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
[ -f "$installed/numbelo.exe" ] || fail "the program is not installed"
# A Wine server still running from a step without a display would keep its desktop, on which
# no window can be made.
wineserver -w

# A child's folder, which may hold anything: here a notepad.exe that must never run.
folder=$(mktemp -d "${TMPDIR:-/tmp}/numbelo-child.XXXXXX")
trap 'wineserver -k 2>/dev/null || true; rm -rf "$folder"' EXIT
# And DLLs named as sound drivers that Wine's sound system, on the program's behalf, looks for
# by name once the music plays and does not find (its OSS and macOS ones): a copy here is
# loaded unless the program has taken the current folder out of its DLL search. Wine's loader
# logs that it looked for them, so the check cannot pass for want of anyone looking.
planted_dlls=(wineoss.drv winecoreaudio.drv)
if [ "$step" = lesson ]; then
  cp "$input" "$folder/notepad.exe"
  for dll in "${planted_dlls[@]}"; do cp "${input%.exe}.dll" "$folder/$dll"; done
  export WINEDEBUG=-all,warn+module
fi

# The program tells what a screen reader would read in its log. Wine hands QT_* variables on
# only as WINEQT_*.
log="$out/program.log"
: >"$log"
export WINEQT_LOGGING_RULES="numbelo.readable.info=true;numbelo.music.mci.info=true"
export WINEQT_FORCE_STDERR_LOGGING=1
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="Z:$out/sound.raw"
rm -f "$out/sound.raw"
(cd "$folder" && exec wine "C:\\Program Files\\Numbelo\\numbelo.exe") >"$log" 2>&1 &
pid=$!

# The newest line of the log saying WHAT ("board", "dialog", "menu") with something to say,
# waited for until it is newer than line AFTER; as "LINE: TEXT".
. "$(dirname "$0")/../../support/answer.sh"
said() { # WHAT AFTER
  local line
  for _ in $(seq 200); do
    line=$(awk -v what="numbelo.readable: $1" -v after="$2" \
      'NR > after && index($0, what) == 1 && length($0) > length(what) + 1 {
         found = NR ": " substr($0, length(what) + 2) }
       END { if (found) print found }' "$log" | tr -d '\r')
    [ -n "$line" ] && { echo "$line"; return 0; }
    kill -0 "$pid" 2>/dev/null || fail "the program ended: $(tail -n 5 "$log")"
    sleep 0.1
  done
  fail "the program never told '$1' after line $2: $(tail -n 5 "$log")"
}
lines() { wc -l <"$log"; }
key() { xdotool key --delay 40 "$@"; sleep 0.15; }
shot() { import -window root "$out/$1.png"; }
# The main window: the first titled "Numbelo 2000". Wine keeps the X windows of closed dialogs
# (which bear the same title) findable, so it is remembered rather than looked for again.
window=
focus_window() {
  for _ in $(seq 300); do
    [ -n "$window" ] ||
      window=$(xdotool search --onlyvisible --name '^Numbelo 2000$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && { xdotool windowfocus --sync "$window"; sleep 0.2; return 0; }
    sleep 0.1
  done
  fail "no window titled Numbelo 2000"
}

if [ "$step" = no-tune ]; then
  mv "$installed/sound/zamba.mid" "$folder/zamba.mid"
  trap 'mv "$folder/zamba.mid" "$installed/sound/zamba.mid"; wineserver -k 2>/dev/null || true; rm -rf "$folder"' EXIT
  error=$(said dialog 0)
  echo "at start: $error"
  # In Windows' own words, as MCI gives them.
  [[ ${error#*: } =~ ^Numbelo\ 2000:\ .+ ]] || fail "the error box is not the program's: $error"
  sleep 0.5
  shot no-tune-error
  # The box comes before the main window is shown: the one window there is. What it shows is
  # read from the box itself, up on the screen: Ctrl+C copies a message box's caption, text and
  # buttons, as on Windows.
  focus_window
  box=$window
  printf '' | xclip -selection clipboard
  key ctrl+c
  shown=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r' | grep -v '^-*$' | paste -sd '|') || true
  echo "the box shows: $shown"
  [ "$shown" = "Numbelo 2000|${error#*: Numbelo 2000: }|OK   " ] ||
    fail "the error box on the screen shows '$shown', not the error"
  key Return
  sleep 0.5
  window=
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Numbelo 2000$' 2>/dev/null | grep -vx "$box" |
      head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  focus_window
  after=$(lines)
  key ctrl+a
  xdotool type --delay 40 "Budi"
  key F2
  question=$(said board "$after")
  echo "then: ${question#*: }"
  [[ ${question#*: } =~ ^[0-9]+\ [-+X:]\ [0-9]+\ =$ ]] || fail "no question after the error box"
  shot no-tune-window
  # The door button ends the program. Wine now and then loses a click that comes with the
  # pointer's first move over a window; a lost click is given again, twice at most, and a
  # button that does nothing fails all three.
  for click in 1 2 3; do
    xdotool mousemove --window "$window" 239 34 sleep 0.3 click 1
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null || break
    echo "click $click on the door button went unseen"
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end by its door button"
  echo "no-tune passed"
  exit 0
fi

# Every key that makes a sound, with the time it was pressed and the file it should play, for
# heard_sounds.py to find in the recording. Digits are typed half a second apart, so that each
# is heard long enough to be told from the others before the next cuts it off.
pressed="$out/pressed.txt"
: >"$pressed"
press() { # KEY SOUND
  echo "$(date +%s.%N) $2" >>"$pressed"
  xdotool key "$1"
}
type_digits() { # DIGITS
  local digit
  for digit in $(grep -o . <<<"$1"); do
    press "$digit" "$digit.wav"
    sleep 0.5
  done
}

# The lesson.
said board 0 >/dev/null
sleep 1
focus_window
shot start
# The Help menu, in Windows' own menu face (Tahoma, from fonts-wine), not a serif one.
key alt+h
sleep 1
shot help-menu
key Escape Escape
key ctrl+a
xdotool type --delay 40 "Rina"
after=$(lines)
press F2 Good.wav
sleep 0.15
for question in $(seq 1 11); do
  line=$(said board "$after")
  after=${line%%:*}
  answer=$(answer_to "${line#*: }") || fail "question $question is not on the board: '${line#*: }'"
  [ "$question" -eq 1 ] && shot question
  if [ $((question % 2)) -eq 1 ]; then
    # Odd questions right at the first try. Before the fifth and the seventh the menu bar is
    # left holding the keys (Alt alone; "Pilihan" opened and one Escape): the digits typed
    # then still go into the answer box, or the next question never comes.
    case $question in
      5) key alt ;;
      7) key alt+p Escape ;;
    esac
    type_digits "$answer"
    key Return
  else
    # Even ones wrong three times; the right answer is shown, and Enter goes on.
    for _ in 1 2 3; do
      type_digits "$((answer + 1))"
      key Return
    done
    said dialog "$after" >/dev/null
    sleep 0.3
    key Return
  fi
  if [ "$question" -eq 3 ]; then
    # The music on and off from the menu, mid-lesson: the caption follows, and the sequencer
    # plays and stops (MCI modes 526 and 525).
    key alt+p Up Return
    menu=$(said menu "$after")
    [ "${menu#*: }" = "&Matikan musik" ] || fail "after switching the music on, the item reads '${menu#*: }'"
    grep -q 'numbelo.music.mci: play: 0 mode 526' "$log" || fail "the sequencer is not playing"
    key alt+p Up Return
    menu=$(said menu "${menu%%:*}")
    [ "${menu#*: }" = "&Hidupkan musik" ] || fail "after switching the music off, the item reads '${menu#*: }'"
    grep -q 'numbelo.music.mci: stop: 0 mode 525' "$log" || fail "the sequencer did not stop"
    focus_window
  fi
done
report=$(said dialog "$after")
sleep 0.5
shot report
grep -a -q "^Nilai belajar : 54${NUMBELO_DECIMAL_POINT:-.}55" "$log" ||
  fail "the report's mark is not 54${NUMBELO_DECIMAL_POINT:-.}55: $(grep -a 'Nilai' "$log")"
echo "report: $(grep -a '^Nilai belajar' "$log" | tr -d '\r')"
key Return
said dialog "${report%%:*}" >/dev/null
key n
sleep 0.3

# Help > Readme: Notepad from the Windows folder, never the one in the current folder.
focus_window
key alt+h Up Return
for _ in $(seq 100); do
  xdotool search --onlyvisible --name 'Notepad' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --onlyvisible --name 'Notepad' >/dev/null 2>&1 || fail "Notepad did not open the readme"
shot readme
[ ! -e "$folder/notepad.exe.trace" ] || fail "the notepad.exe in the current folder ran"
for dll in "${planted_dlls[@]}"; do
  [ ! -e "$folder/$dll.trace" ] || fail "the $dll in the current folder was loaded"
  grep -aq "Failed to load module L\"$dll\"" "$log" || fail "nothing looked for $dll: planting it proves nothing"
done
# With no window manager, Wine does not give the keyboard back once Notepad has had it: the
# lesson ends here, and the start without the tune ends the program through its door button.
wineserver -k

# The digits were heard: the mixer's float stereo at 48 kHz, as SDL's disk driver wrote it.
[ -s "$out/sound.raw" ] || fail "no sound was captured"
sox -t raw -r 48000 -e floating-point -b 32 -c 2 -L "$out/sound.raw" "$out/sound.wav"
peak=$(sox "$out/sound.wav" -n stats 2>&1 | awk '/Pk lev dB/ {print $4}')
echo "captured sound: $(soxi -D "$out/sound.wav") s, peak $peak dBFS"
awk -v p="$peak" 'BEGIN { exit !(p != "-inf" && p > -30) }' || fail "the captured sound is silent"
# Each digit's own sound, from the program's sources, where its key was pressed.
"$(dirname "$0")/heard_sounds.py" "$out/sound.raw" "$(dirname "$0")/../../../resources/sound" \
  "$pressed" >"$out/heard.txt" || fail "a key's sound was not heard: $(grep -m 3 'NOT HEARD' "$out/heard.txt")"
tail -n 1 "$out/heard.txt"
echo "lesson passed: 11 questions, each digit heard, the report, the music, the readme"
