#!/bin/sh
# Preview pictures of 720p and 4K clips with key frames every 2 s: median,
# 95th percentile and slowest time of a grab at random times, beside the
# ffmpeg tool started for each picture at other random times of the clip.
# Usage: bench/preview.sh [BUILD_FOLDER]   (default: build). Media go to
# BUILD_FOLDER/bench-output (shared with the other benchmarks).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
program=$build/bench/preview
built "$program" preview
run() { if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a "$@"; fi; }
# The ffmpeg tool finding one picture at a time the same way (decoding from
# the key frame before it), started once per picture: the same random times.
tool() {
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
  awk -v d="$duration" -v n="$2" 'BEGIN { srand(1); for (i = 0; i < n; i++) printf "%.3f\n", rand() * d }' |
    while read -r t; do
      start=$(date +%s%N)
      ffmpeg -nostdin -v error -ss "$t" -i "$1" -frames:v 1 -f null - < /dev/null
      echo $((($(date +%s%N) - start) / 1000000))
    done | sort -n | awk '{ ms[NR] = $1 } END {
      p95 = int(NR * 95 / 100) + 1; if (p95 > NR) p95 = NR
      printf "%d pictures: median %d ms, 95th percentile %d ms, slowest %d ms\n",
        NR, ms[int(NR / 2) + 1], ms[p95], ms[NR] }'
}
for clip in "720p $hd" "4K $uhd"; do
  set -- $clip
  printf '%-5s Tellavox:   ' "$1:"; run "$program" "$2" "${BENCH_GRABS:-60}" 2> /dev/null
  printf '%-5s ffmpeg -ss: ' "$1:"; tool "$2" "${BENCH_GRABS:-60}"
  start=$(date +%s%N)
  ffmpeg -nostdin -v error -i "$2" -frames:v 1 -f null - < /dev/null
  printf '%-5s ffmpeg start and first picture alone: %d ms\n' "$1:" $((($(date +%s%N) - start) / 1000000))
done
