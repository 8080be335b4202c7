#!/bin/sh
# Decoding speed of InputStream against the ffmpeg tool on the same file:
# 60 s of 1280x720 25 fps H.264. Usage: bench/decode.sh [BUILD_FOLDER]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
file=$tmp/hd_60s.mp4

ffmpeg -nostdin -v error -f lavfi -i testsrc2=size=1280x720:rate=25:duration=60 \
  -c:v libx264 -preset veryfast -bf 2 -g 50 -pix_fmt yuv420p "$file"

program=$build/bench/decode_video
if [ ! -x "$program" ]; then
  sh "$root/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DTELLAVOX_GUI=OFF \
    -DTELLAVOX_TESTS=OFF -- decode_video
fi

ours=$("$program" "$file")
start=$(date +%s.%N)
ffmpeg -nostdin -v error -i "$file" -an -f null -
end=$(date +%s.%N)
theirs=$(echo "$end - $start" | bc -l)

printf 'InputStream: %.3f s\nffmpeg:      %.3f s\nratio:       %.2f\n' \
  "$ours" "$theirs" "$(echo "$ours / $theirs" | bc -l)"
