#!/bin/sh
# The preview's speed on 720p and 4K clips with key frames every 2 s, beside
# the ffmpeg tool finding the same kind of pictures in the same run:
#   exact   a picture at a random time          (targets: 720p median <= 40 ms,
#           p95 <= 100 ms)
#   near    within 1 s of the last one          (4K median <= 150, p95 <= 300 ms)
#   approx  the first picture after a jump      (<= 100 ms)
#   back    one frame step backward             (4K <= 50 ms)
#   play    10 s played: rate and dropped pictures (4K 30 fps; 1080p <= 5 %)
# Usage: bench/preview.sh [BUILD_FOLDER]   (default: build). Media go to
# BUILD_FOLDER/bench-output (shared with the other benchmarks).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
program=$build/bench/preview
built "$program" preview
fhd=$work/fhd_10s.mp4
if [ ! -f "$fhd" ]; then
  echo "making 10 s of 1920x1080 30 fps H.264 + AAC, key frames every 2 s..." >&2
  ff -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10 -f lavfi -i sine=frequency=440:sample_rate=48000:duration=10 \
     -ac 2 -c:v libx264 -preset veryfast -g 60 -pix_fmt yuv420p -c:a aac -b:a 128k "$fhd"
fi
# Sound goes nowhere; its clock still paces the pictures.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
run() { if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a "$@"; fi; }
stats() {
  sort -n | awk -v what="$1" '{ ms[NR] = $1 } END {
    p95 = int(NR * 95 / 100) + 1; if (p95 > NR) p95 = NR
    printf "%-7s %3d: median %4d ms, 95th percentile %4d ms, slowest %4d ms\n",
      what, NR, ms[int(NR / 2) + 1], ms[p95], ms[NR] }'
}
ms_of() { start=$(date +%s%N); "$@" < /dev/null; echo $((($(date +%s%N) - start) / 1000000)); }
# The ffmpeg tool, started once per picture, finding one picture the same
# way (decoding from the key frame before it): at random times (exact), and
# 1 s on from another random time (near; the tool cannot go on from the last).
tool() {
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
  times=$(awk -v d="$duration" -v n="$2" 'BEGIN { srand(1); for (i = 0; i < n; i++) printf "%.3f\n", rand() * d }')
  for t in $times; do ms_of ffmpeg -nostdin -v error -ss "$t" -i "$1" -frames:v 1 -f null -; done | stats exact
  for t in $times; do
    ms_of ffmpeg -nostdin -v error -ss "$t" -i "$1" -ss 1 -frames:v 1 -f null -
  done | stats near
}
# The tool decoding 10 s at full speed: at 1x or more it could play them.
tool_play() {
  ffmpeg -nostdin -v error -benchmark -i "$1" -t 10 -s 960x540 -f null - < /dev/null 2>&1 |
    awk '/rtime/ { sub("rtime=", "", $NF); printf "play   : decodes 10 s in %s (%.2fx real time)\n", $NF, 10 / $NF }'
}
for clip in "720p $hd" "4K $uhd"; do
  set -- $clip
  echo "$1 Tellavox:"; run "$program" "$2" "${BENCH_GRABS:-60}" 2> /dev/null
  echo "$1 ffmpeg tool:"; tool "$2" "${BENCH_GRABS:-60}"; tool_play "$2"
done
echo "1080p Tellavox:"; run "$program" "$fhd" 1 play 2> /dev/null
echo "1080p ffmpeg tool:"; tool_play "$fhd"
