#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# their own build folder, build-fuzz/ (the "fuzz" preset), and runs each for a bounded time,
# starting from the committed seed corpus (copied, so that the run never changes the
# repository). Prints the executions per target; any crash, leak, sanitizer report or time-out
# fails the run and leaves the input that caused it in build-fuzz/artifacts/.
#
#   run.sh [SECONDS_PER_TARGET]
#
# Allocations over 1 GB fail (return null) instead of ending the run: the sound library
# reserves what a WAV header declares, up to gigabytes for a few bytes of garbage, before it
# finds the file shorter. Refusing them is what a machine without that much memory does, and
# our code must then fall back as for any unreadable file; the resident-memory limit still
# catches real exhaustion.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
build=$source_dir/build-fuzz
seconds=${1:-60}
targets=(fuzz_strtoint fuzz_wav fuzz_midi)

cd "$source_dir"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1:max_allocation_size_mb=1024
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=dummy
mkdir -p "$build/artifacts"
status=0
summary=()
for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$source_dir/tests/system/fuzz/corpus/${target#fuzz_}"/* "$corpus"/
  log=$build/artifacts/$target.log
  echo "== $target for ${seconds}s"
  if "$build/tests/system/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=4200 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
    tail -n 40 "$log"
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  summary+=("$(printf '%-14s %10s execs %8s/s  corpus %4s  %s' "$target" "${execs:-?}" \
    "${rate:-?}" "$(ls "$corpus" | wc -l)" "$result")")
done
printf '%s\n' "${summary[@]}"
exit $status
