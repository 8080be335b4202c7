#!/bin/sh
# Time of the read-back that closes every export against the export itself,
# on the 60 s benchmark export of bench/export.sh.
# Usage: bench/read_back.sh [BUILD_FOLDER]   (default: build; the program is
# built there when missing). Media and outputs go to BUILD_FOLDER/bench-output.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
program=$build/bench/read_back
built "$program" read_back

"$program" "$hd" "$work/read_back.mp4" "${BENCH_RUNS:-5}" 2> /dev/null
