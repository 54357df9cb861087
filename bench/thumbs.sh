#!/usr/bin/env bash
# The tool's thumbnails against vipsthumbnail (libvips-tools): one 4000 x 3000 JPEG to 800 x 600, and a
# folder of eight such JPEGs, at quality 90. Runs the two in alternating order, REPEAT times each, and
# prints the medians of wall time and peak resident memory (/usr/bin/time) and the tool / vips ratios.
# Usage: bash bench/thumbs.sh [build folder] [repetitions]   (after the tool is built)
set -euo pipefail
BUILD=${1:-build}
REPEAT=${2:-9}
TOOL=$(realpath "$BUILD/tools/pictor")
for needed in vips vipsthumbnail /usr/bin/time; do
  command -v "$needed" >/dev/null || { echo "thumbs.sh: $needed is missing (bash scripts/bench.sh installs it)" >&2; exit 1; }
done
WORK=$(mktemp -d /tmp/pictor-thumbs-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

# A photo-like picture: two crossing ramps under fine noise, saved as a camera would (4:2:0, quality 85).
vips gaussnoise noise.v 4000 3000 --mean 0 --sigma 8
vips grey ramp.v 4000 3000
vips linear ramp.v red.v 200 25
vips linear ramp.v down.v -- -150 190
vips add red.v noise.v r.v
vips add down.v noise.v g.v
vips bandjoin "r.v g.v red.v" rgb.v
vips cast rgb.v bytes.v uchar
vips copy bytes.v srgb.v --interpretation srgb
vips copy srgb.v photo.jpg[Q=85]
mkdir many tool-out vips-out
for i in 1 2 3 4 5 6 7 8; do cp photo.jpg "many/photo$i.jpg"; done
rm -f ./*.v

# Runs one command under /usr/bin/time, appending "seconds kibibytes" to the named file.
measure() {
  local into=$1
  shift
  /usr/bin/time -f "%e %M" -o time.txt "$@" >/dev/null 2>&1
  cat time.txt >>"$into"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

one_tool() { measure tool-one "$TOOL" thumb photo.jpg tool-out/one.jpg --size 800x600 --quality 90; }
one_vips() { measure vips-one vipsthumbnail photo.jpg -s 800x600 -o "$WORK/vips-out/one.jpg[Q=90]"; }
many_tool() { measure tool-many "$TOOL" thumb many/*.jpg tool-out --size 800x600 --quality 90; }
many_vips() { measure vips-many vipsthumbnail many/*.jpg -s 800x600 -o "$WORK/vips-out/%s.jpg[Q=90]"; }

one_tool && one_vips  # warm the file cache and the libraries
for ((i = 0; i < REPEAT; ++i)); do
  if ((i % 2)); then one_tool; one_vips; many_tool; many_vips; else one_vips; one_tool; many_vips; many_tool; fi
done

printf '%-34s %10s %10s %8s %10s %10s %8s\n' "thumbnails (median of $REPEAT)" "tool s" "vips s" "ratio" "tool MiB" "vips MiB" "ratio"
for job in one many; do
  ts=$(cut -d' ' -f1 "tool-$job" | median) vs=$(cut -d' ' -f1 "vips-$job" | median)
  tm=$(cut -d' ' -f2 "tool-$job" | median) vm=$(cut -d' ' -f2 "vips-$job" | median)
  name="one 4000x3000 JPEG -> 800x600"
  [ "$job" = many ] && name="8 of them into a folder"
  awk -v n="$name" -v ts="$ts" -v vs="$vs" -v tm="$tm" -v vm="$vm" 'BEGIN {
    printf "%-34s %10.3f %10.3f %8.2f %10.1f %10.1f %8.2f\n", n, ts, vs, ts / vs, tm / 1024, vm / 1024, tm / vm }'
done
echo "(target: both ratios at or under 1.00; load average $(cut -d' ' -f1 /proc/loadavg) on $(nproc) cores)"
