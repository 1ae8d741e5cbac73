#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One memcheck run of a scripted session: the monkey test, shortened, in the normal build
# (memcheck cannot run inside the sanitizer build). Fails when a leak that is definitely lost,
# or a memory error, has our own code (app, program, dialogs, music, about, widgets, platform, core) on its stack;
# what the libraries underneath do on their own is counted and shown but not held against us.
#
#   valgrind.sh BUILD_FOLDER [ACTIONS]
set -euo pipefail
build=$(cd "$1" && pwd)
# The sources the build was made from, as they appear in its debug information.
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
actions=${2:-1500}
log=$build/valgrind-monkey.log
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy LANG=C.UTF-8 LC_ALL=C.UTF-8
export NUMBELO_MONKEY_ACTIONS=$actions
started=$(date +%s)
set +e
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
  --errors-for-leak-kinds=definite --num-callers=50 --fullpath-after= --track-origins=yes \
  --suppressions="$(dirname "$0")/valgrind.supp" \
  --log-file="$log" "$build/test_monkey" >"$build/valgrind-monkey.out" 2>&1
test_status=$?
set -e
echo "memcheck of $actions monkey actions: $(($(date +%s) - started)) s, test exit status $test_status"
grep -E 'definitely lost:|ERROR SUMMARY' "$log" | sed 's/^==[0-9]*== */  /'

# Split the log into records (blank-line separated) and keep error and leak records whose
# stack passes through our own sources.
ours=$(awk -v src="$source_dir/" '
  /^==[0-9]+== *$/ { if (rec != "" && keep(rec)) { n++; print rec "\n" } rec = ""; next }
  { sub(/^==[0-9]+== /, ""); rec = rec $0 "\n" }
  END { if (rec != "" && keep(rec)) print rec }
  function keep(r) {
    if (r !~ /(definitely lost|Invalid (read|write|free)|uninitialised|Conditional jump|Mismatched free|overlap)/) return 0
    return index(r, src "app/") || index(r, src "dialogs/") || index(r, src "music/") ||
           index(r, src "about/") || index(r, src "platform/") || index(r, src "startup/") ||
           index(r, src "widgets/") || index(r, src "core/")
  }' "$log")
if [ -n "$ours" ]; then
  echo "FAIL: memcheck found problems in our code:"
  echo "$ours" | head -n 80
  exit 1
fi
[ $test_status -eq 0 ] || { echo "FAIL: the monkey test failed under memcheck"; tail -n 20 "$build/valgrind-monkey.out"; exit 1; }
echo "memcheck: no definite leak and no memory error in our code"
