#!/usr/bin/env bash
# Sets everything up, builds, and runs the demo. The pages are written to out/ as PNG files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
mkdir -p out
./build/demo/pictor_demo out
