#!/usr/bin/env bash
# Fuzzes the picture loaders (file, "PNG" resource through a stream, bitmap resource) with clang's
# libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer, for a bounded time.
# Usage: scripts/fuzz.sh [seconds, default 60]
# Seeds are pictures the library writes itself; what the fuzzer finds goes to build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

PICTOR_EXTRA_PACKAGES="${PICTOR_EXTRA_PACKAGES:-} clang libclang-rt-14-dev" \
  PICTOR_TARGETS="pictor_load_fuzzer pictor_fuzz_seeds" bash scripts/setup.sh build-fuzz \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPICTOR_FUZZ=ON -DPICTOR_TESTS=OFF

mkdir -p build-fuzz/seeds build-fuzz/corpus build-fuzz/findings
build-fuzz/fuzz/pictor_fuzz_seeds build-fuzz/seeds
# The hostile files and the decoders' reference pictures of the tests seed it too.
cp tests/data/hostile/* tests/data/decode/* build-fuzz/seeds/

# The engine's dependencies keep a little memory on purpose; fuzz/lsan-engine.supp names each place.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan-engine.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Full stacks through the engine (built without frame pointers), so that the suppressions can match.
export ASAN_OPTIONS="fast_unwind_on_malloc=0"
build-fuzz/fuzz/pictor_load_fuzzer build-fuzz/corpus build-fuzz/seeds \
  -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix=build-fuzz/findings/ -print_final_stats=1
