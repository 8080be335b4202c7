#!/bin/sh
# Time of the read-back that closes every export against the export itself,
# on the 60 s benchmark export of bench/export.sh.
# Usage: bench/read_back.sh [BUILD_FOLDER]   (default: build; the program is
# built there when missing). Media and outputs go to BUILD_FOLDER/bench-output.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
work=$build/bench-output
mkdir -p "$work"
program=$build/bench/read_back
if [ ! -x "$program" ]; then
  sh "$root/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -- read_back
fi

hd=$work/hd_60s.mp4
if [ ! -f "$hd" ]; then
  echo "making 60 s of 1280x720 H.264 + AAC..."
  ffmpeg -nostdin -hide_banner -loglevel error -y \
     -f lavfi -i testsrc2=size=1280x720:rate=25:duration=60 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=60 \
     -ac 2 -c:v libx264 -preset veryfast -bf 2 -g 50 -pix_fmt yuv420p -c:a aac -b:a 128k "$hd"
fi
"$program" "$hd" "$work/read_back.mp4" "${BENCH_RUNS:-5}" 2> /dev/null
