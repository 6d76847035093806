#!/bin/sh
# The 2D-over-3D program without a GL driver, as a user meets it: exit status 3 and one line on stderr
# naming what is missing, before any frame. Usage: no-gl-driver.sh QUILL WORK_DIR
quill=$1 work=$2
rm -rf "$work" && mkdir -p "$work/no-drivers" "$work/bundle" || exit 1
failures=0

# check NAME -- ENVIRONMENT...: the program run headless with those variables. timeout only catches a
# program that starts when it should not.
check() {
    name=$1
    shift 2
    env "$@" timeout 120 "$quill" --headless --bundle "$work/bundle" --data "$work/data" >"$work/out" 2>"$work/err"
    got=$?
    lines=$(wc -l <"$work/err")
    if [ "$got" -ne 3 ] || [ "$lines" -ne 1 ] || ! grep -q "^quill: no OpenGL ES 1.1 driver: " "$work/err"; then
        echo "FAIL $name: exit $got (want 3), $lines lines on stderr (want 1 naming the missing driver):"
        cat "$work/err"
        failures=$((failures + 1))
    fi
}

# Mesa's drivers taken away, and EGL without any vendor library.
check "no Mesa driver" -- LIBGL_DRIVERS_PATH="$work/no-drivers"
check "no EGL vendor" -- __EGL_VENDOR_LIBRARY_FILENAMES="$work/no-drivers/none.json"

[ $failures -eq 0 ]
