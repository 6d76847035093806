#!/bin/sh
# Without a sound device the program says so in one line of its own and nothing more: the sound
# libraries' own complaints stay off stderr. Usage: no-audio.sh QUILL BUNDLE WORK_DIR
quill=$1 bundle=$2 work=$3
for device in /dev/snd/pcmC*p; do
    [ -e "$device" ] && { echo "this machine has a sound device"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" || exit 1
printf 'wait-state MAIN_MENU\nquit\n' >"$work/script"
# No sound server either: a runtime directory without one, and no server named.
env -u ALSOFT_DRIVERS -u ALSOFT_LOGLEVEL -u PULSE_SERVER XDG_RUNTIME_DIR="$work" \
    "$quill" --headless --bundle "$bundle" --data "$work/data" --script "$work/script" 2>"$work/err"
status=$?
if [ $status -ne 0 ] || [ "$(cat "$work/err")" != "quill: no audio device: sound is off" ]; then
    echo "exit $status; stderr:"
    cat "$work/err"
    exit 1
fi
