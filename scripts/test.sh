#!/usr/bin/env bash
# Builds and runs every test: all of them under ASan+UBSan, the threaded ones under TSan, the quiz's
# screens on the 2D-over-3D program against the software one, then a release build with a short
# benchmark smoke run, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
# No sound card here: OpenAL's null device (or the players' own loopback) plays silently in real time.
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}

status=0
run_preset() {
    local preset=$1
    echo "=== ${preset}: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== ${preset}: tests"
    if ! ctest --test-dir "build/${preset}" -j "$jobs" --output-on-failure --timeout 300; then
        status=1
    fi
}

run_preset asan
run_preset tsan

# The 2D-over-3D alternative is a build of its own (it changes Graphics everywhere): only the program
# and the comparison tests are built there. The program plays every screen of the quiz beside the asan
# build's program, on the asan build's test bundle, and their frames must match; the tests draw the
# screens, shapes and the quiz's frames through GL and in software and start the program without GL.
echo "=== gl: the 2D-over-3D program against the software one"
cmake --preset gl >/dev/null
cmake --build --preset gl -j "$jobs"
if ! sh tests/graphics/gl/compare-screens.sh build/asan/app/quill build/asan/bundles/test build/gl/app/quill \
        build/asan/bundles/test build/asan/tests/graphics/gl_frame_compare build/gl/screens; then
    status=1
fi
if ! QUILL_TEST_BUNDLE_DIR="$PWD/build/asan/bundles/test" \
        ctest --test-dir build/gl -L gl_build -j "$jobs" --output-on-failure --timeout 300; then
    status=1
fi

echo "=== release: build and benchmark smoke run"
cmake --preset release >/dev/null
# Only what the smoke run needs: the tests already ran on the sanitizer builds.
cmake --build --preset release -j "$jobs" --target benchmarks
for bench in build/release/bench/*_bench; do
    [[ -x "$bench" ]] || continue
    echo "--- ${bench}"
    # A benchmark that cannot measure reports an error but still exits 0.
    if ! output=$(QUILL_IDLE_SECONDS=1 "$bench" --benchmark_min_time=0.01 2>&1); then
        tail -n 40 <<<"$output"
        status=1
    fi
    if grep "ERROR OCCURRED" <<<"$output"; then
        status=1
    fi
done

echo "=== fuzz: short bounded runs of the fuzz targets"
bash scripts/fuzz.sh 30 || status=1

if [[ $status -ne 0 ]]; then
    echo "FAILED" >&2
fi
exit $status
