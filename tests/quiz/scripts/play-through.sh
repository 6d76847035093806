#!/bin/sh
# Plays the runs of a play-through, headless, one after the other on one fresh data directory:
#   play-through.sh [--seed-level LEVEL] QUILL BUNDLE WORK SCALE SCRIPT...
# WORK is emptied first; it holds the data directory and the snapshots the scripts write and compare.
# With --seed-level the data directory starts with saved progress: a test running at LEVEL, one right
# answer short of the next level (the test bundle's thresholds are 2).
set -e
seed=
if [ "$1" = --seed-level ]; then
    seed=$2
    shift 2
fi
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
quill=$(absolute "$1") bundle=$(absolute "$2") work=$(absolute "$3") scale=$4
shift 4
started=$PWD

byte() { printf "\\$(printf %03o "$1")"; }
int32() { for shift in 24 16 8 0; do byte $((($1 >> shift) & 255)); done; }

# The progress record of a test running at level $1 with $2 level points and no kept question.
progress_record() {
    byte 10                                              # version
    int32 1; int32 1; int32 10000                        # hints, skips, answer time
    byte 0                                               # a test is running
    byte 1; byte 0; byte 0; byte 0; byte 0; byte 1       # options
    int32 0; int32 0; int32 0                            # per-category arrays: none
    int32 16; byte 0; int32 0                            # the test's category, not practising
    int32 0                                              # practised sections: none
    int32 "$2"; int32 0; int32 0; int32 0; int32 0; int32 0  # level points and the test's counters
    int32 "$1"                                           # level
    int32 0; int32 0; int32 0                            # practice counters
    byte 0                                               # no kept question
}

# The store "QUILL1" holding file $1 as its one record, in the store's first format, which has no
# checksums, so that it can be written here.
store_file() {
    int32 $((0x74737366)); byte 0; byte 0                # magic, format 0
    int32 1; int32 0; int32 0; int32 2                   # version, last modified, next record id
    for unit in 81 85 73 76 76 49 0; do byte 0; byte "$unit"; done
    int32 1; int32 "$(wc -c < "$1")"
    cat "$1"
}

rm -rf "$work"
mkdir -p "$work/data"
cd "$work"
if [ -n "$seed" ]; then
    progress_record "$seed" 2 > record.bin
    store_file record.bin > data/rs_1
fi
for script; do
    case $script in /*) ;; *) script=$started/$script ;; esac
    "$quill" --headless --bundle "$bundle" --data "$work/data" --scale "$scale" --timeout-ms 30000 --script "$script"
done
