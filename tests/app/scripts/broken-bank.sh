#!/bin/sh
# New Test on an empty test bank: the player is sent back to the main menu and the reason is on
# stderr. Usage: broken-bank.sh QUILL BUNDLE WORK_DIR
quill=$1 bundle=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cp -r "$bundle" "$work/bundle" && : >"$work/bundle/shuffle_db.dat" || exit 1
# The tap is taken at one of the next steps; thirty frames later the way back has begun.
printf 'wait-state MAIN_MENU\ntap 159 200\nwait-frames 30\nwait-state MAIN_MENU\nquit\n' \
    >"$work/script"
"$quill" --headless --scale 1 --bundle "$work/bundle" --data "$work/data" --script "$work/script" 2>"$work/err"
status=$?
line="quill: question bank shuffle_db.dat cannot be used: the file is cut short; back to the menu"
if [ $status -ne 0 ] || ! grep -qxF "$line" "$work/err"; then
    echo "exit $status; stderr:"
    cat "$work/err"
    exit 1
fi
