#!/bin/sh
# The program refusing to start, as a user sees it: for each case the exit status and the one line on
# stderr that says why. Usage: start-up-failures.sh QUILL BUNDLE WORK_DIR
quill=$1 bundle=$2 work=$3
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0

# check NAME STATUS TEXT -- COMMAND...: COMMAND exits with STATUS and writes exactly one line to stderr,
# which holds TEXT. timeout only catches a program that starts when it should not.
check() {
    name=$1 status=$2 text=$3
    shift 4
    timeout 120 "$@" >"$work/out" 2>"$work/err"
    got=$?
    lines=$(wc -l <"$work/err")
    if [ "$got" -ne "$status" ] || [ "$lines" -ne 1 ] || ! grep -qF -- "$text" "$work/err"; then
        echo "FAIL $name: exit $got (want $status), $lines lines on stderr (want 1 holding '$text'):"
        cat "$work/err"
        failures=$((failures + 1))
    fi
}

# A copy of the bundle with one file damaged by the command given.
damaged() {
    rm -rf "$work/bundle" && cp -r "$bundle" "$work/bundle" && (cd "$work/bundle" && sh -c "$1")
}

check "bundle is a device" 3 "the bundle directory /dev/null is not a directory" -- \
    "$quill" --headless --bundle /dev/null --data "$work/data"
check "bundle missing" 3 "the bundle directory $work/none does not exist" -- \
    "$quill" --headless --bundle "$work/none" --data "$work/data"

# The quiz refusing its bundle says so on the program's own stderr, in the player's words.
cannot="quill: The quiz cannot start:"
damaged 'dd if=/dev/zero of=pk0 bs=64 count=1 conv=notrunc 2>/dev/null'
check "thresholds zeroed" 4 "$cannot pk0 is damaged: level threshold 0 is 0, not positive and rising" -- \
    "$quill" --headless --bundle "$work/bundle" --data "$work/data"
damaged 'printf "\377\377\377\377\000\000\000\001" | dd of=pk0 conv=notrunc 2>/dev/null'
check "thresholds negative" 4 "$cannot pk0 is damaged: level threshold 0 is -1" -- \
    "$quill" --headless --bundle "$work/bundle" --data "$work/data"
damaged 'printf "\000\000\000\011\000\000\000\010" | dd of=pk0 conv=notrunc 2>/dev/null'
check "thresholds falling" 4 "$cannot pk0 is damaged: level threshold 1 is 8" -- \
    "$quill" --headless --bundle "$work/bundle" --data "$work/data"
damaged 'truncate -s 1000 pk0'
check "pack cut short" 4 "$cannot pk0 is damaged: 1000 bytes, block 0 needs" -- \
    "$quill" --headless --bundle "$work/bundle" --data "$work/data"
# In a window too (SDL's offscreen driver, asked for by name; with no display behind it the message
# box cannot be shown, and stderr's line stands). The driver's GL libraries keep what they allocate
# until the process ends: the leak check is the headless runs'.
check "pack cut short, in a window" 4 "$cannot pk0 is damaged: 1000 bytes, block 0 needs" -- \
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen XDG_RUNTIME_DIR="$work" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    "$quill" --scale 1 --bundle "$work/bundle" --data "$work/data"
damaged 'rm topics.dat'
check "topics missing" 4 "$cannot \"topics.dat\" is missing or unreadable" -- \
    "$quill" --headless --bundle "$work/bundle" --data "$work/data"

# Without a display, a window is not opened in one of SDL's invisible drivers.
check "no display" 3 "no display available (SDL found only its offscreen driver); run with --headless" -- \
    env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$work" \
    "$quill" --bundle "$bundle" --data "$work/data"

# A second copy on the data directory of a running one.
"$quill" --headless --bundle "$bundle" --data "$work/shared" 2>"$work/first-err" &
first=$!
tries=0
while [ ! -d "$work/shared" ] || flock -n "$work/shared" true; do
    tries=$((tries + 1))
    if [ $tries -gt 2400 ]; then echo "FAIL the first copy never locked its data directory"; exit 1; fi
    sleep 0.1
done
check "second copy" 3 "the data directory $work/shared is in use by another quill" -- \
    "$quill" --headless --bundle "$bundle" --data "$work/shared"
kill -TERM $first
wait $first
status=$?
if [ $status -ne 0 ]; then
    echo "FAIL the first copy ended with $status after SIGTERM"
    cat "$work/first-err"
    failures=$((failures + 1))
fi

[ $failures -eq 0 ]
