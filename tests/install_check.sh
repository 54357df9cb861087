#!/usr/bin/env bash
# Installs the built library into a scratch prefix and builds an outside program against it twice:
# with find_package(pictor) and with pkg-config. Both programs must run and succeed, and so must the
# installed pictor tool.
# Usage: install_check.sh <build folder> <source folder>
set -euo pipefail
build=$1
source=$2
flags=${PICTOR_APP_FLAGS:-}   # the sanitizer flags, when the library was built with them
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null

cmake -S "$source/tests/outside" -B "$scratch/cmake-app" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$scratch/cmake-app" >/dev/null
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/cmake-app/outside"

export PKG_CONFIG_PATH="$scratch/prefix/lib/pkgconfig"
g++ -std=c++20 $flags "$source/tests/outside/main.cpp" -o "$scratch/pc-app" $(pkg-config --cflags --libs pictor)
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/pc-app"
# The installed tool on a picture.
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/prefix/bin/pictor" thumb "$source/tests/data/resource.png" \
  "$scratch/thumb.png" --size 16x16 --fit
test -s "$scratch/thumb.png"
echo "installed library works with find_package and pkg-config; the installed tool makes thumbnails"
