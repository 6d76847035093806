#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) in build/fuzz and runs each for a bounded
# time from seeds made by the tools, as many at once as there are cores. Usage: scripts/fuzz.sh
# [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
build=build/fuzz
flags="-O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DQUILL_BUILD_FUZZERS=ON -DQUILL_BUILD_TESTS=OFF -DQUILL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target bitmap_font_fuzzer image_decode_fuzzer record_store_fuzzer http_readers_fuzzer \
    engine_resources_fuzzer quiz_data_fuzzer fontmaker resseeds

# Seeds made by the tools: small fonts in each encoding the loader reads, and resource maps and image
# resources of every format.
export ASAN_OPTIONS=detect_leaks=0
fontmaker="$build/tools/fontmaker"
seeds="$build/seeds/bitmap_font"
mkdir -p "$seeds"
"$fontmaker" --size 6 --chars 0x41-0x46 "$seeds/plain" >/dev/null
"$fontmaker" --size 7 --chars 0x61-0x66,0xE9 --encoding coverage "$seeds/coverage" >/dev/null
"$fontmaker" --size 8 --chars 0x30-0x35 --encoding custom --version 2 --value-bits 3 "$seeds/custom3" >/dev/null
"$fontmaker" --size 5 --chars 0x58-0x5A --encoding custom --version 1 --value-bits 8 "$seeds/custom8" >/dev/null
mkdir -p "$build/seeds/engine_resources"
"$build/tools/resseeds" "$build/seeds/engine_resources"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1

# target, -max_len, -rss_limit_mb, seed folders. The record store has no seeds: every input is a
# sequence of operations, and an empty store is where each one starts. New inputs go to the build
# folder's corpus, never to the seeds kept in the tree.
runs=(
    "bitmap_font 4096 2048 $build/seeds/bitmap_font"
    "image_decode 65536 2560 fuzz/corpus/image_decode"
    "record_store 2048 2560"
    "http_readers 512 2048 fuzz/corpus/http_readers"
    "engine_resources 4096 2560 $build/seeds/engine_resources"
    "quiz_data 4096 2560 fuzz/corpus/quiz_data"
)

fuzz_one() {
    local name=$1 max_len=$2 rss=$3
    shift 3
    mkdir -p "$build/corpus/$name"
    local code=0
    "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb="$rss" -timeout=10 \
        -print_final_stats=1 "$build/corpus/$name" "$@" >"$build/$name.log" 2>&1 || code=$?
    echo "$code" >"$build/$name.status"
}

# Each target is single-threaded: run up to one per core, then report each in order.
for run in "${runs[@]}"; do
    read -r -a words <<<"$run"
    rm -f "$build/${words[0]}.status"
    while (($(jobs -rp | wc -l) >= $(nproc))); do
        wait -n || true
    done
    fuzz_one "${words[@]}" &
done
wait
status=0
for run in "${runs[@]}"; do
    read -r -a words <<<"$run"
    name=${words[0]}
    echo "=== fuzz: ${name}_fuzzer for ${seconds}s"
    if [[ "$(cat "$build/$name.status" 2>/dev/null)" != 0 ]]; then
        cat "$build/$name.log"
        echo "FAILED: ${name}_fuzzer"
        status=1
    else
        tail -n 12 "$build/$name.log"
    fi
done
exit $status
