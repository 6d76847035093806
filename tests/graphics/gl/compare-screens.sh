#!/bin/sh
# Plays every screen of the quiz on the software program and on the 2D-over-3D one, headless, at
# 320 x 480 and 640 x 960, and compares their frames at the same steps:
#   compare-screens.sh SOFTWARE_QUILL SOFTWARE_BUNDLE GL_QUILL GL_BUNDLE GL_FRAME_COMPARE WORK
# A pixel may differ by 2 in a colour channel (GL's source-over blend rounds where the software blend
# floors: glyph edges and translucent images land one step apart) and 0.5% of a frame's pixels may
# differ beyond that (llvmpipe lights its own pixel where a diagonal line passes half-way between two).
# Exits 1 when a frame does not match, with one line per frame, 2 when a run fails.
set -e
absolute() { case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac; }
sw_quill=$(absolute "$1") sw_bundle=$(absolute "$2") gl_quill=$(absolute "$3") gl_bundle=$(absolute "$4")
compare=$(absolute "$5") work=$(absolute "$6")
here=$(cd "$(dirname "$0")" && pwd)
tolerance=2
share=0.5

# The screens, each with the rectangle left out where the picture does not depend on the drawing: the
# order of the answers (chance), and the part of a turned screen the quiz never paints.
screens_320="main-menu.png about.png stats.png choose-category.png choose-subsection.png
    practice-question.png:91,132,220,246 explanation.png practice-complete.png turned.png:320,0,160,320"
screens_640="main-menu.png about.png stats.png choose-category.png choose-subsection.png
    practice-question.png:182,264,440,492 explanation.png practice-complete.png turned.png:640,0,320,640"

rm -rf "$work"
status=0
for size in 320 640; do
    scale=1
    screens=$screens_320
    if [ $size = 640 ]; then scale=2 screens=$screens_640; fi
    for build in software gl; do
        quill=$sw_quill bundle=$sw_bundle
        if [ $build = gl ]; then quill=$gl_quill bundle=$gl_bundle; fi
        mkdir -p "$work/$build-$size"
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
