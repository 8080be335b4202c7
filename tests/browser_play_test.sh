#!/bin/sh
# Exports a short clip as H.264 and AV1 in MP4 and as VP9 and AV1 in WebM
# with tellavox-export, and has Chromium play each to its end with a
# picture. Skipped (exit 77) where Chromium is not installed.
# Usage: tests/browser_play_test.sh BUILD_FOLDER
set -eu
build=$1
command -v chromium > /dev/null || { echo "chromium is not installed: skipped"; exit 77; }
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25:duration=2 \
  -f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 -ac 2 -c:v libx264 -c:a aac "$work/source.mp4"
for output in h264.mp4:mp4:h264 av1.mp4:mp4:av1 vp9.webm:webm:vp9 av1.webm:webm:av1; do
  IFS=: read -r name format video <<EOF2
$output
EOF2
  "$build/tools/tellavox-export" --in "$work/source.mp4" --out "$work/$name" --format "$format" --video "$video" > "$work/export.txt" ||
    { cat "$work/export.txt"; exit 1; }
done
python3 "$root/tools/browser-play.py" "$work" h264.mp4 av1.mp4 vp9.webm av1.webm
