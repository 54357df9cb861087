#!/usr/bin/env bash
# Sets everything up, builds, and runs the benchmarks; prints each member's time as a ratio to its
# reference run in the same process, and to the faster of cairo and Qt 5 doing the same work (both are
# installed here for the benchmarks only); then the tool's thumbnails against vipsthumbnail (bench/thumbs.sh).
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=Text).
set -euo pipefail
cd "$(dirname "$0")/.."
PICTOR_EXTRA_PACKAGES="${PICTOR_EXTRA_PACKAGES:-} qtbase5-dev libcairo2-dev libpango1.0-dev libvips-tools time" bash scripts/setup.sh build
# Configure again, so that peers installed just now are found.
cmake -S . -B build >/dev/null && cmake --build build --target pictor_bench pictor_tool -- --quiet
./build/bench/pictor_bench --benchmark_min_time=0.5 "$@"
bash bench/thumbs.sh build
