#!/usr/bin/env bash
# An install in a prefix chosen at install time, then moved, still finds its clipboard helper.
#   relocate_check.sh <build folder> <source folder> <libexec folder the build was configured for>
# Installs the build into a scratch prefix, moves the prefix, builds tests/relocated/copy_canvas.cpp
# against the moved copy and, under an Xvfb started here, copies a 640 x 480 canvas to the clipboard:
# xclip must paste a PNG of that size. With the helper taken out of the moved prefix, the copy must report
# NoHelper. Exits 77 (skipped) without Xvfb or xclip.
set -euo pipefail
build=$1
source=$2
configured=$3
flags=${PICTOR_APP_FLAGS:-}   # the sanitizer flags, when the library was built with them

for program in Xvfb xclip; do
  command -v "$program" >/dev/null || { echo "skipped: $program is not installed"; exit 77; }
done

scratch=$(mktemp -d)
xvfb=""
cleanup() {
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/installed" >/dev/null
mv "$scratch/installed" "$scratch/moved"
prefix=$scratch/moved
pc=$(find "$prefix" -name pictor.pc)
export PKG_CONFIG_PATH=${pc%/pictor.pc}
libdir=$(pkg-config --variable=libdir pictor)
g++ -std=c++20 $flags "$source/tests/relocated/copy_canvas.cpp" -o "$scratch/copy_canvas" \
  $(pkg-config --cflags --libs pictor) -Wl,-rpath,"$libdir"

# Xvfb picks a free display and writes its number once it is ready.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 300); do
  [ -s "$scratch/display" ] || ! kill -0 "$xvfb" 2>/dev/null && break
  sleep 0.1
done
[ -s "$scratch/display" ] || fail "Xvfb did not start within 30 s"
export DISPLAY=:$(tr -d '[:space:]' <"$scratch/display")

status=$(timeout 60 "$scratch/copy_canvas" 640 480) || fail "the program failed"
[ "$status" = Ok ] || fail "copying from the moved install gave $status"
pasted=$scratch/pasted.png
for _ in 1 2 3 4 5; do
  timeout 30 xclip -selection clipboard -t image/png -o >"$pasted" 2>/dev/null && break
  sleep 0.2
done
# A PNG: the signature, then the IHDR chunk with the width and the height.
header=$(od -An -tx1 -N24 "$pasted" | tr -d ' \n')
[ "${header:0:16}" = 89504e470d0a1a0a ] || fail "xclip gave no PNG (${header:0:16})"
size="$((16#${header:32:8})) x $((16#${header:40:8}))"
[ "$size" = "640 x 480" ] || fail "xclip pasted $size"
echo "the moved install copied 640 x 480; xclip pasted a PNG of $size"

if [ -x "$configured/pictor-clipboard" ]; then
  echo "note: $configured/pictor-clipboard exists on this machine, so NoHelper is not checked"
  exit 0
fi
mv "$(find "$prefix" -name pictor-clipboard -type f)" "$scratch/helper-aside"
status=$(timeout 60 "$scratch/copy_canvas" 64 48) || fail "the program failed"
[ "$status" = NoHelper ] || fail "without a helper the copy gave $status"
echo "without a helper the copy reports NoHelper"
