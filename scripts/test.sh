#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite through ctest: once in the normal build,
# once in a build with AddressSanitizer and UndefinedBehaviorSanitizer (leaks included).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# The documentation check needs doxygen, which only the checks install.
export PICTOR_EXTRA_PACKAGES="${PICTOR_EXTRA_PACKAGES:-} doxygen"

bash scripts/setup.sh build -DPICTOR_WERROR=ON
ctest --test-dir build --output-on-failure -j"$jobs"

bash scripts/setup.sh build-asan -DPICTOR_SANITIZE=ON -DPICTOR_WERROR=ON
ctest --test-dir build-asan --output-on-failure -j"$jobs"
