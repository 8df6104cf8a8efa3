#!/usr/bin/env bash
# replay_costs.sh BUILD_DIR OUT_DIR [TARGET...]
# Replays each target's grown corpus (OUT_DIR/corpus/TARGET) and its kept seeds with the
# optimised replay_TARGET programs of BUILD_DIR (-DSOL_FUZZ_REPLAY=ON), one input at a time, and
# prints per target the slowest and the greediest input of at most 64 KiB. Fails when one of them
# costs more than FUZZ_MAX_MS milliseconds (default 1000) or FUZZ_MAX_MB megabytes (default 256,
# and 1536 for the JPEG-2000 target: a small file may declare a picture that is
# within the size bounds, and its decode may then hold 512 MB of structures (8 KiB a byte of
# its data) plus up to 1 GiB of its samples),
# or crashes.
set -eu
build=$(cd "$1" && pwd)
out=$(cd "$2" && pwd)
shift 2
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -eq 0 ]; then
    set -- $(cd "$build/bin" && ls replay_* | sed 's/^replay_//')
fi
failed=0
for name in "$@"; do
    inputs=""
    for dir in "$out/corpus/$name" "$here/seeds/$name"; do
        [ -d "$dir" ] && inputs="$inputs $dir"
    done
    [ -n "$inputs" ] || continue
    case $name in
        j2k) max_mb=${FUZZ_MAX_MB:-1536} ;;
        *) max_mb=${FUZZ_MAX_MB:-256} ;;
    esac
    # shellcheck disable=SC2086
    line=$("$build/bin/replay_$name" --over "${FUZZ_MAX_MS:-1000}" "$max_mb" $inputs) || failed=1
    printf '%-18s %s\n' "$name" "$(printf '%s\n' "$line" | sed "s|$out/corpus/$name/||g; s|$here/||g" | tr '\n' ' ')"
done
exit "$failed"
