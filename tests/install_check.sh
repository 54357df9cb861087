#!/usr/bin/env bash
# An application outside the tree uses the library as a new user would.
#   install_check.sh <build folder> <source folder>
#     installs the build into a scratch prefix and builds tests/outside against it twice, with
#     find_package(pictor) and with pkg-config; both programs and the installed tool must run (the tool
#     and the CMake-built program with no loader set-up).
#   install_check.sh <build folder> <source folder> subdirectory
#     builds tests/outside with the sources added by add_subdirectory (as FetchContent does), in a Release
#     build with warnings as errors, and runs it.
set -euo pipefail
build=$1
source=$2
mode=${3:-install}
flags=${PICTOR_APP_FLAGS:-}   # the sanitizer flags, when the library was built with them
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [ "$mode" = subdirectory ]; then
  cmake -S "$source/tests/outside" -B "$scratch/sub-app" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DPICTOR_SOURCE_DIR="$source" -DPICTOR_WERROR=ON >/dev/null
  cmake --build "$scratch/sub-app" -j2 >/dev/null
  "$scratch/sub-app/outside"
  echo "a Release build of the library inside another project works"
  exit 0
fi

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null

cmake -S "$source/tests/outside" -B "$scratch/cmake-app" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$scratch/cmake-app" >/dev/null
"$scratch/cmake-app/outside"

export PKG_CONFIG_PATH="$scratch/prefix/lib/pkgconfig"
g++ -std=c++20 $flags "$source/tests/outside/main.cpp" "$source/tests/outside/Text.cpp" -o "$scratch/pc-app" \
  $(pkg-config --cflags --libs pictor)
LD_LIBRARY_PATH="$scratch/prefix/lib" "$scratch/pc-app"
# The installed tool on a picture.
"$scratch/prefix/bin/pictor" thumb "$source/tests/data/resource.png" "$scratch/thumb.png" --size 16x16 --fit
test -s "$scratch/thumb.png"
echo "installed library works with find_package and pkg-config; the installed tool makes thumbnails"
