#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Both installers as a school lab uses them, under Wine, each step in a fresh prefix of its own:
#
#   installers.sh old-windows BUILD OUT   Windows 7 pretended: "setup.exe /S",
#                                         "setup.exe" and "msiexec /i ... /qn" refuse, nothing
#                                         changes; the message is on the screen
#   installers.sh running     BUILD OUT   Numbelo running: installing and uninstalling change
#                                         nothing and say so (exit codes, and the Retry/Cancel
#                                         question); once it has ended, the same installation
#                                         goes through; the MSI refuses while the NSIS
#                                         installation is there
#   installers.sh upgrade     BUILD OUT   an older version (built here from the same staged
#                                         files, with one file more) left alone while it runs,
#                                         then replaced by this one: exactly this version's
#                                         files, one uninstall entry; the older one then refused
#   installers.sh elsewhere   BUILD OUT   "/D=D:\Program\Numbelo" on a second drive; a folder
#                                         holding another's files and a drive's root refused;
#                                         installing over an installation that any user could
#                                         have changed refused; its uninstaller, run in place,
#                                         refuses while Numbelo runs, then takes it away
#   installers.sh msi         BUILD OUT   the MSI: an older package neither upgraded nor
#                                         removed while Numbelo runs, then upgraded in place; a
#                                         downgrade refused, the NSIS installer refused beside
#                                         it, "msiexec /x ... /qn" leaves the drive as it was
#
# BUILD is the Windows build folder, with the installers, the staged installation, numbelo.nsi
# and numbelo.wxs; OUT keeps screenshots and logs. NUMBELO_WINE_PREFIX is where the prefixes
# go; NUMBELO_INSTALLER and NUMBELO_MSI name the installers. An installer's exit code reaches
# Wine's exit status in its low eight bits (1618 is 82); Wine's status tells nothing else, so
# every step also checks the files and the registry it leaves.
set -euo pipefail
step=$1
build=$2
out=$3
mkdir -p "$out"
here=$(cd "$(dirname "$0")" && pwd)
setup="$build/${NUMBELO_INSTALLER:?}"
msi="$build/${NUMBELO_MSI:?}"
stage="$build/installer-stage"
export WINEPREFIX="${NUMBELO_WINE_PREFIX:?}/$step" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
installed="$WINEPREFIX/drive_c/Program Files/Numbelo"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Numbelo'
# Windows Installer's codes, which the NSIS installer gives too.
FAILED=1603 RUNNING=1618 OLD_WINDOWS=1633 OTHER_VERSION=1638

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs a Windows program to its end; the status, as Wine gives it, in $status.
run() {
  status=0
  wine "$@" >/dev/null 2>&1 || status=$?
}
# Runs WHAT (a description) and expects exit CODE.
expect() { # CODE WHAT PROGRAM [ARGUMENT...]
  local code=$1 what=$2
  shift 2
  run "$@"
  [ "$status" -eq $((code % 256)) ] || fail "$what: exit status $status, not $((code % 256)) ($code)"
  echo "$what: exit code $code"
}

# Everything in the prefix's drives, each file with its checksum, less what Wine changes
# itself; and the uninstall entries.
drive_state() {
  (cd "$WINEPREFIX" && find drive_c ${extra_drive:+"$extra_drive"} -path drive_c/windows -prune \
    -o -path 'drive_c/users/*/Temp' -prune -o -print | LC_ALL=C sort |
    while IFS= read -r path; do
      if [ -f "$path" ]; then echo "$path $(md5sum <"$path" | cut -c 1-32)"; else echo "$path"; fi
    done)
  { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null || true; } |
    tr -d '\r' | { grep -v -e '^ *InstallDate' -e '^$' || true; }
}
unchanged_since() { # STATE-FILE WHAT
  drive_state | diff -u "$1" - >"$out/changed.diff" || fail "$2 changed the drive: $(head -n 20 "$out/changed.diff")"
}

# The staged files, as they must be installed (and uninstall.exe, for the NSIS installer).
expected_files() { # [EXTRA...]
  { (cd "$stage" && find . -type f | sed 's|^\./||'); [ $# -eq 0 ] || printf '%s\n' "$@"; } | LC_ALL=C sort
}
installed_files() { # FOLDER
  (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
}
entry() { # VALUE
  wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1 == v {print $3}'
}

# A prefix as a fresh Windows has it, made on a display (Wine sets its display devices up on the
# first start that has one). Debian's Wine 8 pretends to be Windows 7 until told otherwise.
fresh_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
}
windows10() {
  winecfg -v win10
  wineserver -w
}

# An older version made from the same staged installation: version 1.0.0.2, with a file this
# version no longer has; the NSIS installer quickly compressed.
make_older() { # KIND
  local older="$out/older"
  rm -rf "$older"
  mkdir -p "$older/lists"
  cp -a "$stage" "$older/stage"
  echo "only in the older version" >"$older/stage/sound/older-only.txt"
  cmake -DSTAGE="$older/stage" -DOUT="$older/lists" -P "$here/../../../packaging/windows/FileLists.cmake"
  if [ "$1" = nsis ]; then
    makensis -V1 -NOCD "-XSetCompressor /FINAL zlib" -DVERSION=1.0.0.2 -DLISTS="$older/lists" \
      -DOUTFILE="$older/setup-older.exe" "$build/numbelo.nsi"
  else
    cp "$build/numbelo.wxs" "$build/numbelo.ico" "$build/running-check.dll" "$older/lists/"
    (cd "$older/stage" && wixl -a x64 -D Version=1.0.2 -D ProductCode="$(cat /proc/sys/kernel/random/uuid)" \
      -o "$older/older.msi" "$older/lists/numbelo.wxs" "$older/lists/msi-files.wxs")
  fi
}

# Whether the copy of itself that an uninstaller started plainly hands over to still runs in
# this prefix.
uninstaller_copy_runs() {
  local pid
  for pid in $(pgrep -f '~nsu.*Un\.exe'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# The steps that show a window run on a display of their own.
if [ -z "${NUMBELO_INSIDE_X:-}" ]; then
  exec env NUMBELO_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
trap 'wineserver -k 2>/dev/null || true' EXIT
# The installer's window and its messages, titled in Indonesian or English.
setup_title='^(Instalasi Program Numbelo|Numbelo Setup) *$'
shot() { import -window root "$out/$1.png"; }
# Waits for a visible window whose title matches PATTERN; its id in $window.
wait_window() { # PATTERN
  for _ in $(seq 300); do
    seen=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | sort) || true
    window=$(echo "$seen" | head -n 1)
    [ -n "$window" ] && { sleep 0.5; return 0; }
    sleep 0.1
  done
  fail "no window titled '$1'"
}
# Waits for a window titled PATTERN that was not there at the last call (or at wait_window).
wait_new_window() { # PATTERN
  local now
  for _ in $(seq 100); do
    now=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | sort) || true
    if comm -13 <(echo "$seen") <(echo "$now") | grep -q .; then
      seen=$now
      sleep 0.5
      return 0
    fi
    sleep 0.1
  done
  return 1
}
# Starts PROGRAM with its window on the display, in the background; its pid in $pid.
start_shown() { # PROGRAM [ARGUMENT...]
  wine "$@" >/dev/null 2>&1 &
  pid=$!
}
# Starts a program that runs until the prefix's processes are ended (wineserver -k), which the
# shell then need not report.
start_running() { # PROGRAM [ARGUMENT...]
  start_shown "$@"
  disown "$pid"
}
# Answers the message on the screen (which has the keyboard) with KEY and expects the program
# to end with CODE.
answer_and_expect() { # KEY CODE WHAT
  xdotool key "$1"
  status=0
  wait "$pid" || status=$?
  [ "$status" -eq $(($2 % 256)) ] || fail "$3: exit status $status, not $(($2 % 256)) ($2)"
  echo "$3: exit code $2"
}

case $step in
  old-windows)
    fresh_prefix
    winecfg -v win7
    wineserver -w
    drive_state >"$out/before.txt"
    expect $OLD_WINDOWS "setup.exe /S on Windows 7" "$setup" /S
    expect $FAILED "msiexec /i /qn on Windows 7" msiexec /i "$msi" /qn
    unchanged_since "$out/before.txt" "refusing Windows 7"
    # The message, in the children's language, then in English where Windows speaks it.
    for language in id_ID C; do
      LANG=$language.UTF-8 LC_ALL=$language.UTF-8 start_shown "$setup"
      wait_window "$setup_title"
      shot "old-windows-$language"
      answer_and_expect Return $OLD_WINDOWS "setup.exe on Windows 7 ($language), message answered"
    done
    unchanged_since "$out/before.txt" "refusing Windows 7 with a message"
    ;;

  running)
    fresh_prefix
    windows10
    expect 0 "setup.exe /S" "$setup" /S
    [ "$(installed_files "$installed")" = "$(expected_files uninstall.exe)" ] ||
      fail "not exactly the staged files were installed"
    # The MSI is not installed beside the NSIS installation.
    expect $FAILED "msiexec /i /qn beside the NSIS installation" msiexec /i "$msi" /qn
    SDL_AUDIODRIVER=dummy start_running "C:\\Program Files\\Numbelo\\numbelo.exe"
    program=$pid
    wait_window '^Numbelo 2000$'
    drive_state >"$out/before.txt"
    expect $RUNNING "setup.exe /S while Numbelo runs" "$setup" /S
    # Started plainly, the uninstaller hands over to a copy of itself and ends at once: the
    # files and the entry tell (its own exit code is checked in the "elsewhere" step).
    run "$installed/uninstall.exe" /S
    for _ in $(seq 300); do
      uninstaller_copy_runs || break
      sleep 0.1
    done
    ! uninstaller_copy_runs || fail "the uninstaller's copy did not end"
    unchanged_since "$out/before.txt" "installing and uninstalling while Numbelo runs"
    [ "$(entry DisplayVersion)" = 1.0.0.3 ] || fail "the uninstall entry is gone"
    # Asked, Retry while it still runs asks again (a new question window), Cancel leaves
    # everything.
    start_shown "$setup"
    wait_window "$setup_title"
    xdotool key Return
    wait_new_window "$setup_title" || fail "installing while Numbelo runs asked nothing"
    shot running-question
    xdotool key Return
    wait_new_window "$setup_title" || fail "Retry while Numbelo runs did not ask again"
    shot running-asked-again
    answer_and_expect Escape $RUNNING "setup.exe while Numbelo runs, Cancel"
    unchanged_since "$out/before.txt" "the installer's question"
    # Numbelo ends: the same installation goes through, with exactly the same files.
    kill "$program"
    wineserver -k
    wineserver -w
    expect 0 "setup.exe /S once Numbelo has ended" "$setup" /S
    [ "$(installed_files "$installed")" = "$(expected_files uninstall.exe)" ] ||
      fail "installing again did not leave exactly the staged files"
    ;;

  upgrade)
    make_older nsis
    fresh_prefix
    windows10
    expect 0 "the older setup.exe /S" "$out/older/setup-older.exe" /S
    [ -f "$installed/sound/older-only.txt" ] && [ "$(entry DisplayVersion)" = 1.0.0.2 ] ||
      fail "the older version is not installed"
    # An older version that holds no mark, running: its program file is in use.
    cp "$build/stays_running.exe" "$installed/numbelo.exe"
    start_running "C:\\Program Files\\Numbelo\\numbelo.exe"
    sleep 2
    drive_state >"$out/before.txt"
    expect $RUNNING "setup.exe /S while an older Numbelo without the mark runs" "$setup" /S
    unchanged_since "$out/before.txt" "installing over a running older version"
    wineserver -k
    wineserver -w
    expect 0 "setup.exe /S over the older version" "$setup" /S
    [ "$(installed_files "$installed")" = "$(expected_files uninstall.exe)" ] ||
      fail "after the upgrade: $(diff <(expected_files uninstall.exe) <(installed_files "$installed"))"
    [ "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
      grep -c 'DisplayName.*Numbelo')" -eq 1 ] || fail "not exactly one uninstall entry"
    [ "$(entry DisplayVersion)" = 1.0.0.3 ] || fail "the entry is not the new version's"
    drive_state >"$out/before.txt"
    expect $OTHER_VERSION "the older setup.exe /S over the newer version" "$out/older/setup-older.exe" /S
    unchanged_since "$out/before.txt" "refusing the older version"
    ;;

  elsewhere)
    fresh_prefix
    windows10
    # A second drive, as a lab has it, holding a folder with another's files.
    drive="$WINEPREFIX/drive_d"
    mkdir -p "$drive/Foreign"
    echo "planted" >"$drive/Foreign/version.dll"
    ln -s ../drive_d "$WINEPREFIX/dosdevices/d:"
    extra_drive=drive_d
    drive_state >"$out/before.txt"
    expect $FAILED "setup.exe /S /D=D:\\Foreign (not empty)" "$setup" /S "/D=D:\\Foreign"
    expect $FAILED "setup.exe /S /D=D:\\ (a drive's root)" "$setup" /S "/D=D:\\"
    unchanged_since "$out/before.txt" "refusing those folders"
    expect 0 "setup.exe /S /D=D:\\Program\\Numbelo" "$setup" /S "/D=D:\\Program\\Numbelo"
    [ "$(installed_files "$drive/Program/Numbelo")" = "$(expected_files uninstall.exe)" ] ||
      fail "not exactly the staged files in D:\\Program\\Numbelo"
    [ "$(entry InstallLocation)" = 'D:\Program\Numbelo' ] || fail "the entry does not point to D:"
    # Wine keeps no file rights (it reads back a made-up list from the Unix permissions), so
    # here this installation is one any user could have changed, as those of the versions
    # before rights were set are: its uninstaller is never run as administrator.
    drive_state >"$out/installed.txt"
    expect $FAILED "setup.exe /S over an unprotected installation on D:" "$setup" /S
    # The uninstaller run in place, as an upgrade runs it, gives its own exit code ("_?=" takes
    # a folder without quotes, so one without a space is used here).
    SDL_AUDIODRIVER=dummy start_running "D:\\Program\\Numbelo\\numbelo.exe"
    wait_window '^Numbelo 2000$'
    expect $RUNNING "uninstall.exe /S _?= while Numbelo runs" "$drive/Program/Numbelo/uninstall.exe" /S '_?=D:\Program\Numbelo'
    wineserver -k
    wineserver -w
    unchanged_since "$out/installed.txt" "refusing the unprotected installation and the uninstall"
    run "$drive/Program/Numbelo/uninstall.exe" /S
    wineserver -w
    [ ! -e "$drive/Program/Numbelo" ] || fail "left on D: $(cd "$drive/Program/Numbelo" && find . | head)"
    [ -z "$(entry DisplayName)" ] || fail "the uninstall entry is left"
    ;;

  msi)
    make_older msi
    size=$(stat -c %s "$msi")
    echo "$(basename "$msi"): $((size / 1024)) KiB"
    # A lab's deployment tool copies it to every machine: at most 12 MB (9.4 MB with the
    # Windows libraries built for size).
    [ "$size" -le $((12 * 1000 * 1000)) ] || fail "the MSI is over 12 MB"
    fresh_prefix
    windows10
    drive_state >"$out/before.txt"
    expect 0 "msiexec /i older.msi /qn" msiexec /i "$out/older/older.msi" /qn
    [ -f "$installed/sound/older-only.txt" ] || fail "the older package is not installed"
    # Neither upgraded nor removed while Numbelo runs.
    SDL_AUDIODRIVER=dummy start_running "C:\\Program Files\\Numbelo\\numbelo.exe"
    wait_window '^Numbelo 2000$'
    drive_state >"$out/older.txt"
    expect $FAILED "msiexec /i /qn over the older package while Numbelo runs" msiexec /i "$msi" /qn
    expect $FAILED "msiexec /x older.msi /qn while Numbelo runs" msiexec /x "$out/older/older.msi" /qn
    unchanged_since "$out/older.txt" "upgrading or removing while Numbelo runs"
    wineserver -k
    wineserver -w
    expect 0 "msiexec /i /qn over the older package" msiexec /i "$msi" /qn
    [ "$(installed_files "$installed")" = "$(expected_files)" ] ||
      fail "after the upgrade: $(diff <(expected_files) <(installed_files "$installed"))"
    products=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
      tr -d '\r' | awk '$1 == "DisplayName" && $3 == "Numbelo"' | wc -l)
    [ "$products" -eq 1 ] || fail "$products uninstall entries, not one"
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
      grep -q 'DisplayVersion.*1\.0\.3' || fail "no uninstall entry with the version 1.0.3"
    wine reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null | grep -q 'ProductIcon.*numbelo\.ico' ||
      fail "the uninstall entry has no icon"
    # Wine's Windows Installer puts a per-machine Start-menu entry in the user's menu.
    menu=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Numbelo.lnk' | head -n 1)
    [ -n "$menu" ] || fail "no Start-menu entry"
    installed_state=$(drive_state)
    expect $FAILED "msiexec /i older.msi /qn over the newer package" msiexec /i "$out/older/older.msi" /qn
    expect $OTHER_VERSION "setup.exe /S beside the MSI installation" "$setup" /S
    [ "$(drive_state)" = "$installed_state" ] || fail "refusing changed the installation"
    expect 0 "msiexec /x /qn" msiexec /x "$msi" /qn
    [ ! -e "$installed" ] || fail "left behind: $(cd "$installed" && find . | head)"
    [ ! -e "$menu" ] || fail "the Start-menu entry is left"
    unchanged_since "$out/before.txt" "installing and removing the MSI"
    ;;

  *)
    fail "no step $step"
    ;;
esac
echo "$step passed"
