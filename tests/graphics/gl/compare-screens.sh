#!/bin/sh
# Plays every screen of the quiz on the software program and on the 2D-over-3D one, headless, at
# 320 x 480 and 640 x 960, and compares their frames at the same steps:
#   compare-screens.sh SOFTWARE_QUILL SOFTWARE_BUNDLE GL_QUILL GL_BUNDLE GL_FRAME_COMPARE WORK
# Both start from a copy of one data directory in which the software program kept a test, so that the
# game screen shows the same question, answers and greyed answer on both. Every frame must match
# exactly: the quiz composes its frames in software and hands GL one picture and the particles' images,
# so nothing is blended differently. Left out are only pixels neither program draws the same by
# design: a practice question's answer buttons (their order is drawn by chance) and the part of a
# turned screen the quiz never paints (the software buffer keeps what it held, GL clears its frame).
# Exits 1 when a frame does not match, with one line per frame, 2 when a run fails.
set -e
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
sw_quill=$(absolute "$1") sw_bundle=$(absolute "$2") gl_quill=$(absolute "$3") gl_bundle=$(absolute "$4")
compare=$(absolute "$5") work=$(absolute "$6")
here=$(cd "$(dirname "$0")" && pwd)
tolerance=0
share=0

# The screens, each with the rectangle left out that the programs do not draw the same by design.
screens_320="main-menu.png kept-question.png kept-explanation.png about.png stats.png choose-category.png choose-subsection.png
    practice-question.png:91,132,220,246 explanation.png practice-complete.png turned.png:320,0,160,320"
screens_640="main-menu.png kept-question.png kept-explanation.png about.png stats.png choose-category.png choose-subsection.png
    practice-question.png:182,264,440,492 explanation.png practice-complete.png turned.png:640,0,320,640"

rm -rf "$work"
status=0
for size in 320 640; do
    scale=1
    screens=$screens_320
    if [ $size = 640 ]; then scale=2 screens=$screens_640; fi
    mkdir -p "$work/kept-$size"
    if ! "$sw_quill" --headless --bundle "$sw_bundle" --data "$work/kept-$size/data" --scale $scale \
            --timeout-ms 30000 --script "$here/scripts/keep-a-test-$size.txt"; then
        echo "the software program did not keep a test at scale $scale" >&2
        exit 2
    fi
    for build in software gl; do
        quill=$sw_quill bundle=$sw_bundle
        if [ $build = gl ]; then quill=$gl_quill bundle=$gl_bundle; fi
        mkdir -p "$work/$build-$size"
        cp -R "$work/kept-$size/data" "$work/$build-$size/data"
        if ! (cd "$work/$build-$size" && "$quill" --headless --bundle "$bundle" --data data --scale $scale \
                --timeout-ms 30000 --script "$here/scripts/screens-$size.txt"); then
            echo "the $build program did not play the screens at scale $scale" >&2
            exit 2
        fi
    done
    echo "--- $size: software against 2D-over-3D"
    # shellcheck disable=SC2086
    "$compare" $tolerance $share "$work/software-$size" "$work/gl-$size" $screens || status=1
done
exit $status
