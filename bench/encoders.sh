#!/bin/sh
# The video encoders at each of their speeds on a generated 1080p clip (10 s
# of 1920x1080 at 25 fps, a moving pattern with film grain), each at its
# default constant quality: wall seconds (the export's read-back included),
# size and PSNR against the source, as a Markdown table.
# Usage: bench/encoders.sh [BUILD_FOLDER]   (default: build; the program is
# built there when missing). BENCH_SIZE and BENCH_SECONDS change the clip.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
work=$build/bench-output
mkdir -p "$work"
size=${BENCH_SIZE:-1920x1080}
seconds=${BENCH_SECONDS:-10}
program=$build/bench/encoders
[ -x "$program" ] || sh "$root/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -- encoders

clip=$work/encoders_${size}_${seconds}s.mkv
if [ ! -f "$clip" ]; then
  echo "making $seconds s of $size..." >&2
  ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc2=size=$size:rate=25:duration=$seconds" -vf noise=alls=6:allf=t \
    -c:v libx264 -qp 0 -preset ultrafast -pix_fmt yuv420p "$clip"
fi

echo "| Encoder | Speed | Seconds | Size (kB) | PSNR (dB) |"
echo "|---|---|---|---|---|"
SVT_LOG=1 "$program" "$clip" "$work" 2> /dev/null | while read -r encoder speed time kB file; do
  psnr=$(ffmpeg -nostdin -hide_banner -i "$file" -i "$clip" -lavfi "[0:v][1:v]psnr" -f null - 2>&1 |
         sed -n 's/.* average:\([0-9.inf]*\).*/\1/p' | tail -n 1)
  echo "| $encoder | $speed | $time | $kB | $psnr |"
done
