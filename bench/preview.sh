#!/bin/sh
# Preview pictures of 720p and 4K clips with key frames every 2 s: median,
# 95th percentile and slowest time of a grab at random times.
# Usage: bench/preview.sh [BUILD_FOLDER]   (default: build). Media go to
# BUILD_FOLDER/bench-output (shared with bench/export.sh).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
work=$build/bench-output
mkdir -p "$work"
program=$build/bench/preview
if [ ! -x "$program" ]; then
  sh "$root/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -- preview
fi
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
hd=$work/hd_60s.mp4
[ -f "$hd" ] || ff -f lavfi -i testsrc2=size=1280x720:rate=25:duration=60 \
  -c:v libx264 -preset veryfast -bf 2 -g 50 -pix_fmt yuv420p "$hd"
uhd=$work/uhd_10s.mp4
[ -f "$uhd" ] || ff -f lavfi -i testsrc2=size=3840x2160:rate=30:duration=10 \
  -c:v libx264 -preset veryfast -g 60 -pix_fmt yuv420p "$uhd"
run() { if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a "$@"; fi; }
printf '720p: '; run "$program" "$hd" "${BENCH_GRABS:-60}" 2> /dev/null
printf '4K:   '; run "$program" "$uhd" "${BENCH_GRABS:-60}" 2> /dev/null
