#!/bin/sh
# Time of the read-back that closes every export against the export itself,
# on the 60 s 720p and the 10 s 4K benchmark exports of bench/export.sh.
# Usage: bench/read_back.sh [BUILD_FOLDER]   (default: build; the program is
# built there when missing). Media and outputs go to BUILD_FOLDER/bench-output.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
program=$build/bench/read_back
built "$program" read_back

for clip in "$hd" "$uhd"; do
  "$program" "$clip" "$work/read_back.mp4" "${BENCH_RUNS:-5}" 2> /dev/null
done
