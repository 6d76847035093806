#!/bin/sh
# Plays the two runs of a play-through, headless, on one fresh data directory:
#   play-through.sh QUILL BUNDLE WORK SCALE FIRST SECOND
# WORK is emptied first; it holds the data directory and the snapshots the scripts write and compare.
set -e
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
quill=$(absolute "$1") bundle=$(absolute "$2") work=$(absolute "$3") scale=$4
first=$(absolute "$5") second=$(absolute "$6")
rm -rf "$work"
mkdir -p "$work"
cd "$work"
"$quill" --headless --bundle "$bundle" --data "$work/data" --scale "$scale" --timeout-ms 30000 --script "$first"
"$quill" --headless --bundle "$bundle" --data "$work/data" --scale "$scale" --timeout-ms 30000 --script "$second"
