#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Broken installations: for each case, copy the program and its sound folder into a fresh
# install folder, break it, and take a whole lesson on the real program under its own X
# server (three wrong tries and the shown answer for each of the eleven questions, the report,
# declining another lesson, "Keluar"). Every case must start, show no error box at start-up
# but the one the music rules allow (a missing or unreadable tune or no SoundFont: exactly
# one), finish the lesson, and exit with status 0 and no sanitizer report in its output.
# Without the synthesizer library, switching the music on must end in one error box that
# names the missing package, and the lesson goes on.
#
#   matrix.sh PROGRAM SOUND_FOLDER OUTPUT_FOLDER CASE...
#
# Cases: intact no-sound-folder sound-folder-capitals wavs-missing wavs-empty wavs-truncated
#        wavs-garbage wavs-mixed music-missing music-empty music-garbage music-truncated
#        no-soundfont no-synthesizer no-audio-device read-only long-path
#
# Each case runs in a private mount namespace (unshare -m): the installed data folder, where
# the program would find sounds the case removed, is hidden behind an empty folder, the
# SoundFont folders likewise for no-soundfont, the FluidSynth library behind an empty file
# for no-synthesizer, and read-only bind-mounts the install folder
# read-only (a plain chmod means nothing to root). Without unshare those cases are skipped.
set -euo pipefail

# --- one lesson, run inside the case's namespace --------------------------------------------
if [ "${1:-}" = "--lesson" ]; then
  case=$2 install=$3 out=$4 expected_boxes=$5 data_dir=$6
  empty=$out/empty-folder
  mkdir -p "$empty"
  if [ "${MATRIX_MOUNTS:-0}" = 1 ]; then
    [ -d "$data_dir" ] && mount --bind "$empty" "$data_dir"
    if [ "$case" = no-soundfont ]; then
      for folder in /usr/share/sounds/sf2 /usr/share/soundfonts /usr/local/share/sounds/sf2 \
        /usr/local/share/soundfonts "$HOME/.local/share/sounds/sf2" \
        "$HOME/.local/share/soundfonts"; do
        [ -d "$folder" ] && mount --bind "$empty" "$folder"
      done
    fi
    if [ "$case" = no-synthesizer ]; then
      : >"$out/empty-library"
      for library in $(ldconfig -p | awk '$1 == "libfluidsynth.so.3" { print $NF }'); do
        mount --bind "$out/empty-library" "$(realpath "$library")"
      done
    fi
    [ "$case" = read-only ] && mount --bind -o ro "$install" "$install"
  fi

  fail() { echo "FAIL [$case]: $*" >&2; exit 1; }
  key() { xdotool key --delay 15 "$@"; sleep 0.04; }

  is_dialog() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG; }
  # Visible windows titled $1: dialogs, or the one that is not a dialog (the main window).
  windows_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; }
  find_dialog() {
    local id
    for id in $(windows_titled "$1"); do is_dialog "$id" && { echo "$id"; return 0; }; done
    return 1
  }
  find_main() {
    local id
    for id in $(windows_titled 'Numbelo 2000'); do is_dialog "$id" || { echo "$id"; return 0; }; done
    return 1
  }
  wait_dialog() {
    local id
    for _ in $(seq 200); do
      id=$(find_dialog "$1") && { echo "$id"; return 0; }
      sleep 0.05
    done
    return 1
  }
  focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.05; }

  log=$out/program.log
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  (cd "$out" && exec "$install/numbelo") >"$log" 2>&1 &
  pid=$!
  trap 'kill $pid 2>/dev/null || true' EXIT

  # Start-up: dismiss every error box with Enter until the main window stands alone.
  boxes=0 window="" quiet=0
  for _ in $(seq 600); do
    kill -0 $pid 2>/dev/null || fail "the program ended at start-up: $(tail -n 5 "$log")"
    if box=$(find_dialog 'Numbelo 2000'); then
      boxes=$((boxes + 1))
      focus "$box"
      key Return
      for _ in $(seq 100); do xdotool getwindowname "$box" >/dev/null 2>&1 && find_dialog 'Numbelo 2000' >/dev/null || break; sleep 0.05; done
      quiet=0
      continue
    fi
    if window=$(find_main); then
      quiet=$((quiet + 1))
      [ $quiet -ge 10 ] && break
    fi
    sleep 0.05
  done
  [ -n "$window" ] || fail "the main window did not appear"
  [ "$boxes" -eq "$expected_boxes" ] ||
    fail "$boxes error boxes at start-up, expected $expected_boxes"

  focus "$window"
  if [ "$case" = no-synthesizer ]; then
    # Pilihan > Hidupkan musik, the menu's last item.
    key alt+p
    key Up
    key Return
    box=$(wait_dialog 'Numbelo 2000') || fail "no error box when switching the music on"
    focus "$box"
    key Return
    for _ in $(seq 100); do find_dialog 'Numbelo 2000' >/dev/null || break; sleep 0.05; done
    grep -q 'install the package libfluidsynth3' "$log" ||
      fail "the music's error does not name the package: $(tail -n 3 "$log")"
    focus "$window"
  fi
  xdotool type --delay 20 "Rina"
  key F2
  for question in $(seq 11); do
    for _ in 1 2 3; do
      xdotool type --delay 15 "999"
      key Return
    done
    reveal=$(wait_dialog 'Numbelo 2000') || fail "no right answer shown for question $question"
    focus "$reveal"
    key Return
    if [ "$question" -lt 11 ]; then
      for _ in $(seq 100); do find_dialog 'Numbelo 2000' >/dev/null || break; sleep 0.05; done
      focus "$window"
    fi
  done
  report=$(wait_dialog 'Information') || fail "no report after eleven questions"
  focus "$report"
  key Return
  confirm=$(wait_dialog 'Confirm') || fail "no offer to learn again"
  focus "$confirm"
  key n
  focus "$window"
  key alt+f
  key Up
  key Return
  for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -0 $pid 2>/dev/null && fail "the program did not exit after Keluar"
  status=0
  wait $pid || status=$?
  trap - EXIT
  if [ $status -ne 0 ]; then
    fail "exit status $status: $(grep -m 1 -A 4 -E 'ERROR: |runtime error:|leak of' "$log" ||
      tail -n 5 "$log")"
  fi
  if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log"; then
    fail "sanitizer report: $(grep -m 3 -E 'ERROR:|runtime error:' "$log")"
  fi
  # Anything still running from this install folder was started by the program and
  # outlived it: name it, and end it (by its id) so it cannot hold the test's output open.
  leftovers=()
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/exe" 2>/dev/null)" = "$install/numbelo" ] && leftovers+=("${proc#/proc/}")
  done
  if [ ${#leftovers[@]} -gt 0 ]; then
    echo "WARNING [$case]: ${#leftovers[@]} process(es) of the program outlived it:" \
      "$(for p in "${leftovers[@]}"; do tr '\0' ' ' <"/proc/$p/cmdline"; echo -n "(pid $p) "; done)"
    kill -9 "${leftovers[@]}" 2>/dev/null || true
  fi
  echo "ok [$case]: $boxes start-up error box(es), 11 questions, report, exit 0"
  exit 0
fi

# --- the matrix ---------------------------------------------------------------------------
program=$(realpath "$1")
sounds=$(realpath "$2")
out=$(realpath -m "$3")
shift 3
if [ -z "${MATRIX_INSIDE_X:-}" ]; then
  exec env MATRIX_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" \
    "$0" "$program" "$sounds" "$out" "$@"
fi
self=$(realpath "$0")
# The server may still be coming up when xvfb-run starts us. (It runs with -noreset: by
# default it resets whenever its last client leaves, and a program started in that moment
# cannot connect.)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
data_dir=${NUMBELO_INSTALLED_DATA:-/usr/local/share/numbelo}
mounts=0
if unshare -m --propagation private true 2>/dev/null; then mounts=1; fi
if [ $mounts = 0 ] && [ -d "$data_dir" ]; then
  echo "FAIL: $data_dir exists and cannot be hidden (no unshare): its sounds would mask" \
    "every broken sound folder" >&2
  exit 1
fi
wavs=(0 1 2 3 4 5 6 7 8 9 Benar Good Laser Salah Toeng Whistle)

# Breaks the WAV named $2 in folder $1 in the way $3 says.
break_wav() {
  local file=$1/$2.wav
  case $3 in
    missing) rm -f "$file" ;;
    empty) : >"$file" ;;
    truncated) head -c 300 "$file" >"$file.part" && mv "$file.part" "$file" ;;
    garbage) head -c 4096 /dev/urandom >"$file" ;;
    intact) ;;
  esac
}

results=()
status=0
export SDL_AUDIODRIVER=dummy
for case in "$@"; do
  base=$out/$case
  rm -rf "$base"
  mkdir -p "$base"
  install=$base/install
  if [ "$case" = long-path ]; then
    install="$base/Program Files"
    while [ ${#install} -le 200 ]; do install="$install/Latihan Berhitung Anak SD – ñandú çağ Ğüş 算数"; done
  fi
  mkdir -p "$install"
  cp "$program" "$install/numbelo"
  cp -r "$sounds" "$install/sound"
  expected=0
  needs_mounts=0
  note=""
  case $case in
    intact | long-path | read-only) ;;
    no-sound-folder) rm -rf "$install/sound"; expected=1 ;; # the tune lives there too
    # As a copy from Windows often names it: found as its files are, the tune with it.
    sound-folder-capitals) mv "$install/sound" "$install/SOUND" ;;
    wavs-missing | wavs-empty | wavs-truncated | wavs-garbage)
      for wav in "${wavs[@]}"; do break_wav "$install/sound" "$wav" "${case#wavs-}"; done ;;
    wavs-mixed)
      # Every file broken its own way, from a printed seed.
      RANDOM=${MATRIX_SEED:-7}
      kinds=(missing empty truncated garbage intact)
      for wav in "${wavs[@]}"; do
        kind=${kinds[RANDOM % 5]}
        break_wav "$install/sound" "$wav" "$kind"
        note+=" $wav:$kind"
      done ;;
    music-missing) rm "$install/sound/zamba.mid"; expected=1 ;;
    music-empty) : >"$install/sound/zamba.mid"; expected=1 ;;
    music-garbage) head -c 4096 /dev/urandom >"$install/sound/zamba.mid"; expected=1 ;;
    music-truncated)
      head -c 2000 "$sounds/zamba.mid" >"$install/sound/zamba.mid"; expected=1 ;;
    no-soundfont) expected=1; needs_mounts=1 ;;
    no-synthesizer) needs_mounts=1 ;;
    no-audio-device) ;;
    *) echo "unknown case $case" >&2; exit 2 ;;
  esac
  [ "$case" = read-only ] && needs_mounts=1
  [ -n "$note" ] && echo "[$case]$note"
  if [ $needs_mounts = 1 ] && [ $mounts = 0 ]; then
    results+=("SKIP $case (needs unshare -m)")
    continue
  fi
  driver=(env MATRIX_MOUNTS=$mounts)
  [ "$case" = no-audio-device ] && driver+=(SDL_AUDIODRIVER=no-such-driver)
  if [ $mounts = 1 ]; then
    driver=(unshare -m --propagation private "${driver[@]}")
  fi
  started=$(date +%s)
  if "${driver[@]}" bash "$self" --lesson "$case" "$install" "$base" "$expected" "$data_dir"; then
    results+=("ok   $case ($(($(date +%s) - started)) s)")
  else
    results+=("FAIL $case")
    status=1
  fi
done
printf '%s\n' "${results[@]}"
exit $status
