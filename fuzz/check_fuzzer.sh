#!/bin/sh
# check_fuzzer.sh FUZZER SECONDS WORK_DIR SEED_DIR...
# Runs every seed through FUZZER, then lets it mutate them for SECONDS. A crash, a leak, a time-out
# or a target without any seed fails the check; the failing input is kept in WORK_DIR.
set -eu
fuzzer=$1
seconds=$2
work=$3
shift 3
rm -rf "$work"
mkdir -p "$work/corpus"
named="$*"
count=0
# The seed folders that exist stay in "$@", whatever their names hold (a space).
for dir in "$@"; do
    shift
    if [ -d "$dir" ]; then
        set -- "$@" "$dir"
        count=$((count + $(find "$dir" -type f | wc -l)))
    fi
done
if [ "$count" -eq 0 ]; then
    echo "no seeds for $fuzzer in: $named" >&2
    exit 1
fi
echo "$count seeds"
exec "$fuzzer" -seed=1 -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$@"
