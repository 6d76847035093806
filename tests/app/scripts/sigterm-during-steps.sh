#!/bin/sh
# SIGTERM while a script waits in one of its long steps: the step ends with the program, which ends
# through its tear-down with that status (0, as without a script), says nothing about the script, and
# lets go of its data directory. Every wait is an hour long, so a step that runs on is caught by the
# time guard. Usage: sigterm-during-steps.sh QUILL BUNDLE WORK_DIR
quill=$1 bundle=$2 work=$3
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0

# check NAME PRELUDE STEP: the script settles on the menu, plays PRELUDE (steps separated by ';'),
# writes started.png and runs STEP; SIGTERM follows once started.png is there.
check() {
    name=$1
    {
        echo "wait-state MAIN_MENU"
        echo "$2" | tr ';' '\n'
        echo "snapshot $work/started.png"
        echo "$3"
        echo "snapshot $work/after.png"
    } >"$work/script.txt"
    rm -f "$work/started.png" "$work/after.png"
    "$quill" --headless --scale 1 --bundle "$bundle" --data "$work/data" --timeout-ms 3600000 \
        --script "$work/script.txt" >"$work/out" 2>"$work/err" &
    pid=$!
    tries=0
    while [ ! -e "$work/started.png" ] && kill -0 $pid 2>/dev/null; do
        tries=$((tries + 1))
        if [ $tries -gt 2400 ]; then break; fi
        sleep 0.1
    done
    # Well inside the step; a signal that came before it would only end the run sooner.
    sleep 1
    kill -TERM $pid
    # Only catches a step that runs on after the program has ended. Its output goes nowhere: a sleep
    # left holding the test's pipe would keep the test runner waiting for it.
    (sleep 120 && kill -KILL $pid) >/dev/null 2>&1 &
    guard=$!
    wait $pid
    status=$?
    kill $guard 2>/dev/null
    if [ ! -e "$work/started.png" ] || [ $status -ne 0 ] || [ -e "$work/after.png" ] || grep -q '^script:' "$work/err"; then
        echo "FAIL $name: exit $status (want 0), the step after it $([ -e "$work/after.png" ] && echo ran || echo did not run):"
        cat "$work/err"
        failures=$((failures + 1))
    fi
    # The data directory is free again: a program started on it now gets past the lock.
    if ! flock -n "$work/data" true; then
        echo "FAIL $name: the data directory is still locked"
        failures=$((failures + 1))
    fi
}

check "hold" "" "hold 5 5 3600000"
# Paused, the quiz takes no answer, shows no new frame and steps no more.
check "answer" "tap 159 200;wait-state GAME_RUNNING;pause" "answer right"
check "wait-state, the screen never comes" "" "wait-state ABOUT"
check "wait-state, the settled screen is shown" "pause" "wait-state MAIN_MENU"
check "wait-frames" "pause" "wait-frames 1000000"
check "wait-stable" "pause" "wait-stable 1000000"

[ $failures -eq 0 ]
