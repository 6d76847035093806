#!/bin/sh
# Scripted sessions beside busy loops: every wait finds its screen however slowly the machine runs,
# with and without the frames folder. A New Test, an answer, the Info page and back.
# Usage: under-load.sh QUILL BUNDLE WORK_DIR [RUNS [BUSY_LOOPS]] (busy loops: one per core by default)
quill=$1 bundle=$2 work=$3 runs=${4:-3} busy=${5:-$(nproc)}
rm -rf "$work" && mkdir -p "$work" || exit 1
cat >"$work/script.txt" <<'SCRIPT'
wait-state MAIN_MENU
tap 159 200
wait-state GAME_RUNNING
answer right
expect test-right 1
wait-state GAME_RUNNING
tap 200 435
wait-state INFOLINK
tap 260 430
wait-state GAME_RUNNING
quit
SCRIPT

loops=""
i=0
while [ $i -lt "$busy" ]; do
    # Bounded and off the output: a loop orphaned by a killed test ends by itself and holds no pipe.
    timeout 900 sh -c 'while :; do :; done' >/dev/null 2>&1 &
    loops="$loops $!"
    i=$((i + 1))
done
trap 'kill $loops 2>/dev/null' EXIT

failures=0
run=1
while [ $run -le "$runs" ]; do
    frames=""
    # Every second run writes its frames too.
    if [ $((run % 2)) -eq 0 ]; then frames="--frames-dir $work/frames-$run"; fi
    # shellcheck disable=SC2086
    "$quill" --headless --scale 1 --bundle "$bundle" --data "$work/data-$run" --timeout-ms ${TIMEOUT_MS:-5000} $frames \
        --script "$work/script.txt" >"$work/out-$run" 2>"$work/err-$run"
    status=$?
    if [ $status -ne 0 ]; then
        echo "FAIL run $run${frames:+ (frames)}: exit $status"
        cat "$work/err-$run"
        failures=$((failures + 1))
    fi
    run=$((run + 1))
done
echo "$failures of $runs runs failed beside $busy busy loops"
[ $failures -eq 0 ]
