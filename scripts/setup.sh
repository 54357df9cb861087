#!/usr/bin/env bash
# Installs what the build, the tests and the demo need (Debian 12), then configures and builds.
# Quick and quiet when everything is already in place.
# Usage: scripts/setup.sh [build folder] [extra cmake arguments...]
# PICTOR_TARGETS, a space-separated list, builds only those targets (a check that needs only a few).
set -euo pipefail

cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
shift || true

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  libgdiplus libjpeg-dev libpng-dev libgif-dev libtiff-dev
  fonts-dejavu-core fonts-liberation2 fonts-nanum fontconfig libfontconfig-dev
  libx11-dev xvfb xauth x11-utils imagemagick
  libxcb1-dev libcairo2-dev libcups2-dev libharfbuzz-dev libfreetype-dev libfribidi-dev
  cups-daemon cups-client poppler-utils xclip
  dpkg-dev file
)
# Other checks ask for more (the fuzzer needs clang and its runtime), as a space-separated list.
read -r -a extra <<<"${PICTOR_EXTRA_PACKAGES:-}"
PACKAGES+=("${extra[@]}")

missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$BUILD_DIR/build.ninja" ] || [ $# -gt 0 ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
read -r -a targets <<<"${PICTOR_TARGETS:-all}"
cmake --build "$BUILD_DIR" --target "${targets[@]}" -- --quiet
