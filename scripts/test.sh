#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite through ctest: once in the normal build,
# once in a build with AddressSanitizer and UndefinedBehaviorSanitizer (leaks included); then the thread
# test in a ThreadSanitizer build, and the picture loaders under the fuzzer for a bounded minute.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# The documentation check needs doxygen, which only the checks install.
# The fuzzer needs clang and its runtime.
export PICTOR_EXTRA_PACKAGES="${PICTOR_EXTRA_PACKAGES:-} doxygen clang libclang-rt-14-dev"

bash scripts/setup.sh build -DPICTOR_WERROR=ON
ctest --test-dir build --output-on-failure -j"$jobs"

bash scripts/setup.sh build-asan -DPICTOR_SANITIZE=ON -DPICTOR_WERROR=ON -DPICTOR_BENCHMARKS=OFF
ctest --test-dir build-asan --output-on-failure -j"$jobs"

PICTOR_TARGETS=threads_test bash scripts/setup.sh build-tsan -DPICTOR_SANITIZE_THREAD=ON -DPICTOR_WERROR=ON \
  -DPICTOR_PROGRAMS=OFF -DPICTOR_BENCHMARKS=OFF
ctest --test-dir build-tsan --output-on-failure -R '^Threads\.'

bash scripts/fuzz.sh 60
