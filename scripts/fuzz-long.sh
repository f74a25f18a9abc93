#!/usr/bin/env bash
# Long fuzz runs: every target from a copy of its seed corpus, one after the other, then a table
# of executions, speed, coverage and findings per target.
#   FUZZ_SECONDS  seconds per target (default 600; 0 = no time limit)
#   FUZZ_RUNS     executions per target (default: no limit; runs end at FUZZ_SECONDS)
#   FUZZ_TARGETS  the targets to run (default: all four)
#   FUZZ_NICE     niceness of the runs (default 19)
#   FUZZ_JOBS     processes per target, sharing its corpus (default 1); FUZZ_RUNS is their sum, and
#                 the table adds up their executions and speeds
#   FUZZ_TIMEOUT  seconds one input may take before it counts as a timeout or a slow input, a
#                 finding (default 60: on a loaded machine a fuzzer descheduled for ten seconds
#                 reports a false one)
#   FUZZ_BIN      where the targets are (default build/fuzz/tests/fuzz)
#   FUZZ_OUT      where the runs leave their corpus, log and findings (default build/fuzz-long)
# Everything a run leaves is under build/fuzz-long/<target>/: the grown corpus, the log, and any
# crash, leak or timeout input in findings/. The repository's corpus is never written.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=${FUZZ_BIN:-$root/build/fuzz/tests/fuzz}
out=${FUZZ_OUT:-$root/build/fuzz-long}
seconds=${FUZZ_SECONDS:-600}
runs=${FUZZ_RUNS:-}
targets=${FUZZ_TARGETS:-setup_text command_line expansion check}
niceness=${FUZZ_NICE:-19}
timeout=${FUZZ_TIMEOUT:-60}
jobs=${FUZZ_JOBS:-1}

limits=()
[ "$seconds" != 0 ] && limits+=("-max_total_time=$seconds")
[ -n "$runs" ] && limits+=("-runs=$(( (runs + jobs - 1) / jobs ))")
# With more than one process, libFuzzer's parent starts them and each writes its own log,
# fuzz-<n>.log in the current folder; the figures are read from those.
[ "$jobs" -gt 1 ] && limits+=("-jobs=$jobs" "-workers=$jobs")

rows=()
status=0
for t in $targets; do
    exe=$bin/fuzz_$t
    [ -x "$exe" ] || { echo "fuzz-long: $exe is missing (make fuzz)" >&2; exit 2; }
    dir=$out/$t
    rm -rf "$dir"
    mkdir -p "$dir/corpus" "$dir/findings"
    cp -r "$root/tests/fuzz/corpus/$t/." "$dir/corpus/"
    echo "fuzz-long: $t ${limits[*]} (log: $dir/run.log)"
    start=$(date +%s)
    rc=0
    # The processor time beside the wall time: on a shared machine only the former says what a
    # run costs.
    TIMEFORMAT='%U %S'
    { time nice -n "$niceness" env -C "$dir" "$exe" "${limits[@]}" -timeout="$timeout" -report_slow_units="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$dir/findings/" "$dir/corpus" >"$dir/run.log" 2>&1 || rc=$?; } 2>"$dir/cpu"
    elapsed=$(( $(date +%s) - start ))
    cpu=$(awk '{printf "%.1f", $1 + $2}' "$dir/cpu")
    logs=("$dir/run.log")
    [ "$jobs" -gt 1 ] && logs=("$dir"/fuzz-*.log)
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "${logs[@]}" | awk '{ n += $1 } END { if (NR) print n }')
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "${logs[@]}" | awk '{ n += $1 } END { if (NR) print n }')
    coverage=$(for log in "${logs[@]}"; do grep -E '^#[0-9]+' "$log" | grep -o 'cov: [0-9]* ft: [0-9]*' | tail -1; done | sort -t' ' -k2,2n | tail -1)
    findings=$(find "$dir/findings" -type f | wc -l)
    # 72 is libFuzzer's exit after an interrupt (Ctrl-C): the figures so far still count.
    if { [ "$rc" -ne 0 ] && [ "$rc" -ne 72 ]; } || [ "$findings" -ne 0 ]; then status=1; fi
    per_cpu=$(awk -v n="${executions:-0}" -v c="$cpu" 'BEGIN { if (c > 0) printf "%d", n / c; else print "?" }')
    rows+=("$(printf '%-13s %12s %8ss %8ss %9s %10s  %-20s %8s' "$t" "${executions:-?}" "$elapsed" "$cpu" \
        "${speed:-?}" "$per_cpu" "${coverage:-?}" "$findings")")
done

printf '\n%-13s %12s %9s %9s %9s %10s  %-20s %8s\n' target executions time cpu exec/s exec/cpu-s coverage findings
printf '%s\n' "${rows[@]}"
[ "$status" -eq 0 ] || echo "fuzz-long: findings are in $out/<target>/findings/" >&2
exit "$status"
