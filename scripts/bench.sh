#!/usr/bin/env bash
# Sets everything up, builds, and runs the benchmarks; prints each member's time as a ratio to its
# reference run in the same process. Extra arguments go to Google Benchmark (e.g. --benchmark_filter=Text).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
./build/bench/pictor_bench --benchmark_min_time=0.5 "$@"
