#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up figures: the program and an empty Qt window, started alternately under the same
# X server, each timed to its first painted window; prints medians, their ratio and memory.
#
#   startup.sh BUILD_FOLDER [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-9}
if [ -z "${BENCH_INSIDE_X:-}" ]; then
  exec env BENCH_INSIDE_X=1 xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
export SDL_AUDIODRIVER=dummy
"$build/bench/firstpaint" 1 "$build/bench/emptywindow" >/dev/null # warm the caches
reference=$("$build/bench/firstpaint" "$runs" "$build/bench/emptywindow" | tail -n 1)
program=$("$build/bench/firstpaint" "$runs" "$build/numbelo" | tail -n 1)
ms() { sed -E 's/median: ([0-9.]+) ms.*/\1/' <<<"$1"; }
kb() { sed -E 's/.* ([0-9]+) kB.*/\1/' <<<"$1"; }
printf '%-34s %10s %10s\n' "" "first paint" "memory"
printf '%-34s %8s ms %7s MB\n' "empty Qt window (reference)" "$(ms "$reference")" \
  "$(awk -v k="$(kb "$reference")" 'BEGIN{printf "%.1f", k/1024}')"
printf '%-34s %8s ms %7s MB\n' "Numbelo" "$(ms "$program")" \
  "$(awk -v k="$(kb "$program")" 'BEGIN{printf "%.1f", k/1024}')"
awk -v p="$(ms "$program")" -v r="$(ms "$reference")" -v pk="$(kb "$program")" \
  -v rk="$(kb "$reference")" 'BEGIN {
    printf "start-up ratio %.2f (target <= 1.5); extra memory %.1f MB (target <= 20)\n",
      p / r, (pk - rk) / 1024 }'
