#!/bin/sh
# Copying against encoding: the same 60 s range (5 s to 65 s) of a 70 s
# 1920x1080 25 fps H.264 + AAC clip with key frames every 2 s, exported by
# the export job with its pictures and sound copied as they are, then
# encoded as the main window proposes (H.264 + AAC into MP4, same size and
# rate). Each time runs from the start of the export to the end of its
# read-back; the read-back's summary follows it.
# Usage: bench/copy.sh [BUILD_FOLDER]   (default: build; the program is built
# there when missing). Media and outputs go to BUILD_FOLDER/bench-output.
# BENCH_RUNS sets the runs of each (3).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
program=$build/bench/copy_export
built "$program" copy_export

fullhd=$work/fullhd_70s.mp4
if [ ! -f "$fullhd" ]; then
  echo "making 70 s of 1920x1080 H.264 + AAC..." >&2
  ff -f lavfi -i testsrc2=size=1920x1080:rate=25:duration=70 -f lavfi -i sine=frequency=440:sample_rate=48000:duration=70 \
     -ac 2 -c:v libx264 -preset veryfast -bf 2 -g 50 -pix_fmt yuv420p -c:a aac -b:a 128k "$fullhd"
fi

for way in copy encode; do
  run=0
  while [ $run -lt "${BENCH_RUNS:-3}" ]; do
    "$program" "$fullhd" "$work/copy_bench_$way.mp4" $way 5 65
    run=$((run + 1))
  done
done
