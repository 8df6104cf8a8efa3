#!/usr/bin/env bash
# run_fuzzers.sh BUILD_DIR OUT_DIR SECONDS JOBS [TARGET...]
# Runs every fuzz target of BUILD_DIR (or the ones named) for SECONDS each, JOBS at a time. What a
# target finds stays in OUT_DIR: its grown corpus in corpus/TARGET (the next run starts from it),
# crashing inputs in crashes/TARGET (also leaks, time-outs and out-of-memory inputs;
# inputs slower than 10 seconds are kept there as slow-unit-*), and its log in logs/TARGET.log.
# An input that takes more than FUZZ_TIMEOUT seconds (default 5) or FUZZ_RSS_MB megabytes (default
# 1024) is a finding too: no small file may cost that much.
# Ends with a table per target (executions, CPU minutes, edges covered, corpus, findings, the peak
# memory and the slowest input) and fails when any target crashed.
set -eu
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
seconds=$3
jobs=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then
    set -- $(cd "$build/bin" && ls fuzz_* | grep -v '^fuzz_seed_writer$' | sed 's/^fuzz_//')
fi

run_one() {
    name=$1
    mkdir -p "$out/corpus/$name" "$out/crashes/$name" "$out/logs"
    local seeds=()  # an array: a folder's name may hold a space
    for dir in "$here/seeds/$name" "$build/fuzz/seeds/$name"; do
        [ -d "$dir" ] && seeds+=("$dir")
    done
    LSAN_OPTIONS="suppressions='$here/../tests/lsan.supp'" /usr/bin/time -f '%U %S' -o "$out/logs/$name.cpu" \
        "$build/bin/fuzz_$name" \
        -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-5}" -rss_limit_mb="${FUZZ_RSS_MB:-1024}" -print_final_stats=1 \
        -artifact_prefix="$out/crashes/$name/" "$out/corpus/$name" "${seeds[@]}" > "$out/logs/$name.log" 2>&1 || true
}

running=0
for name in "$@"; do
    run_one "$name" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

failed=0
stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }
printf '%-18s %12s %7s %6s %7s %7s %8s %5s %7s %8s\n' \
    target executions cpu_min cov features corpus crashes slow rss_mb slowest_s
for name in "$@"; do
    log="$out/logs/$name.log"
    execs=$(stat number_of_executed_units "$log")
    rss=$(stat peak_rss_mb "$log")
    slowest=$(stat slowest_unit_time_sec "$log")
    cpu=$(awk 'NF == 2 { printf "%.1f", ($1 + $2) / 60 }' "$out/logs/$name.cpu" 2>/dev/null)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    corpus=$(find "$out/corpus/$name" -type f | wc -l)
    crashes=$(find "$out/crashes/$name" -type f ! -name 'slow-unit-*' | wc -l)
    slow=$(find "$out/crashes/$name" -type f -name 'slow-unit-*' | wc -l)
    printf '%-18s %12s %7s %6s %7s %7s %8s %5s %7s %8s\n' "$name" "${execs:-?}" "${cpu:-?}" \
        "${cov:-?}" "${ft:-?}" "$corpus" "$crashes" "$slow" "${rss:-?}" "${slowest:-?}"
    [ "$crashes" -eq 0 ] || failed=1
done
exit "$failed"
