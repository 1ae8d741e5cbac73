# SPDX-License-Identifier: GPL-3.0-or-later
# What the benchmark reports share (bench/run, bench/windows), sourced by both: the table of
# figures, and the wake-ups and CPU of every thread of a process read from /proc.
#
#   row FIGURE MEASURED TARGET RESULT   adds a row to the table
#   verdict CONDITION                   "pass" or "FAIL" for an awk condition ("1.2 <= 1.5")
#   calc EXPRESSION [DECIMALS]          an awk expression, printed with 2 (or DECIMALS) decimals
#   median                              the median of the numbers on standard input
#   snapshot PID                        "tid cpu_ticks context_switches name" per thread
#   usage_between BEFORE AFTER SECONDS  from two snapshots: "wake-ups/s cpu_percent", then
#                                       "name wake-ups/s" per thread name
#   print_table                         the rows as an aligned table
#   any_failed                          whether a row's result is FAIL

rows=()
row() { rows+=("$1"$'\t'"$2"$'\t'"$3"$'\t'"$4"); } # figure, measured, target, result
verdict() { awk "BEGIN { exit !($1) }" && echo pass || echo FAIL; }
calc() { awk "BEGIN { printf \"%.${2:-2}f\", $1 }"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'; }

# Per thread of a process: "tid cpu_ticks context_switches name"; every switch is a wake-up.
snapshot() {
  local task
  for task in /proc/$1/task/*; do
    [ -r "$task/stat" ] || continue
    printf '%s %s %s %s\n' "${task##*/}" \
      "$(awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "$task/stat" 2>/dev/null || echo 0)" \
      "$(awk '/ctxt_switches/ { s += $2 } END { print s + 0 }' "$task/status" 2>/dev/null || echo 0)" \
      "$(tr ' ' '_' <"$task/comm" 2>/dev/null || echo gone)"
  done
}

# From two snapshots over SECONDS: "total_wakeups_per_s cpu_percent" on the first line, then
# "name wakeups_per_s" per thread name (threads of one name added up).
usage_between() {
  join <(sort <<<"$1") <(sort <<<"$2") | awk -v hz="$(getconf CLK_TCK)" -v secs="$3" '{
      w = ($6 - $3) / secs; total += w; cpu += $5 - $2
      per[$4] += w; count[$4]++
    } END {
      printf "%.1f %.2f\n", total, 100 * cpu / hz / secs
      for (n in per) printf "%s%s %.1f\n", n, (count[n] > 1 ? "_x" count[n] : ""), per[n]
    }'
}

print_table() {
  printf '%s\n' $'figure\tmeasured\ttarget\tresult' "${rows[@]}" | awk -F '\t' '
    { for (i = 1; i <= 4; i++) { cell[NR, i] = $i; if (length($i) > width[i]) width[i] = length($i) } }
    END {
      for (r = 1; r <= NR; r++) {
        printf "%-*s | %-*s | %-*s | %s\n", width[1], cell[r, 1], width[2], cell[r, 2], width[3], cell[r, 3], cell[r, 4]
        if (r == 1) { line = sprintf("%*s", width[1] + width[2] + width[3] + 16, ""); gsub(/ /, "-", line); print line }
      }
    }'
}

any_failed() { printf '%s\n' "${rows[@]}" | grep -q $'\tFAIL$'; }
