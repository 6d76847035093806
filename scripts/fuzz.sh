#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan) in build/fuzz and runs each for a bounded
# time from seeds made by the tools. Usage: scripts/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
build=build/fuzz
flags="-O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DQUILL_BUILD_FUZZERS=ON -DQUILL_BUILD_TESTS=OFF -DQUILL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target bitmap_font_fuzzer image_decode_fuzzer record_store_fuzzer http_readers_fuzzer \
    engine_resources_fuzzer fontmaker resseeds

# Seeds: small fonts in each encoding the loader reads.
seeds="$build/seeds/bitmap_font"
corpus="$build/corpus/bitmap_font"
mkdir -p "$seeds" "$corpus"
fontmaker="$build/tools/fontmaker"
export ASAN_OPTIONS=detect_leaks=0
"$fontmaker" --size 6 --chars 0x41-0x46 "$seeds/plain" >/dev/null
"$fontmaker" --size 7 --chars 0x61-0x66,0xE9 --encoding coverage "$seeds/coverage" >/dev/null
"$fontmaker" --size 8 --chars 0x30-0x35 --encoding custom --version 2 --value-bits 3 "$seeds/custom3" >/dev/null
"$fontmaker" --size 5 --chars 0x58-0x5A --encoding custom --version 1 --value-bits 8 "$seeds/custom8" >/dev/null

echo "=== fuzz: bitmap_font_fuzzer for ${seconds}s"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
"$build/fuzz/bitmap_font_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" "$seeds" 2>&1 | tail -n 12

# Seeds: small PNG and JPEG files kept in the tree; new inputs go to the build folder.
corpus="$build/corpus/image_decode"
mkdir -p "$corpus"
echo "=== fuzz: image_decode_fuzzer for ${seconds}s"
"$build/fuzz/image_decode_fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2560 -timeout=10 \
    -print_final_stats=1 "$corpus" fuzz/corpus/image_decode 2>&1 | tail -n 12

# No seeds: every input is a sequence of operations, and an empty store is where each one starts.
corpus="$build/corpus/record_store"
mkdir -p "$corpus"
echo "=== fuzz: record_store_fuzzer for ${seconds}s"
"$build/fuzz/record_store_fuzzer" -max_total_time="$seconds" -max_len=2048 -rss_limit_mb=2560 -timeout=10 \
    -print_final_stats=1 "$corpus" 2>&1 | tail -n 12

# Seeds: a URL, a status line and a date of each form, kept in the tree.
corpus="$build/corpus/http_readers"
mkdir -p "$corpus"
echo "=== fuzz: http_readers_fuzzer for ${seconds}s"
"$build/fuzz/http_readers_fuzzer" -max_total_time="$seconds" -max_len=512 -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" fuzz/corpus/http_readers 2>&1 | tail -n 12

# Seeds: resource maps and image resources of every format, made by the resource writers.
seeds="$build/seeds/engine_resources"
corpus="$build/corpus/engine_resources"
mkdir -p "$seeds" "$corpus"
ASAN_OPTIONS=detect_leaks=0 "$build/tools/resseeds" "$seeds"
echo "=== fuzz: engine_resources_fuzzer for ${seconds}s"
"$build/fuzz/engine_resources_fuzzer" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2560 -timeout=10 \
    -print_final_stats=1 "$corpus" "$seeds" 2>&1 | tail -n 12
