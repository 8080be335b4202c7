#!/bin/sh
# Builds the input fuzzer with clang and runs it for the seconds given
# (default 900) on a corpus seeded with the test media's small files.
#   tests/fuzz/run.sh [SECONDS]
set -eu
cd "$(dirname "$0")/../.."
seconds=${1:-900}
if [ ! -f build-fuzz/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTELLAVOX_FUZZ=ON -DTELLAVOX_GUI=OFF -DTELLAVOX_TESTS=OFF > /dev/null
fi
cmake --build build-fuzz --target input_fuzzer
corpus=build-fuzz/corpus
if [ ! -d "$corpus" ]; then
  mkdir -p "$corpus"
  sh tests/make_media.sh build-fuzz/media
  cp build-fuzz/media/seed.* build-fuzz/media/head600.mkv build-fuzz/media/song_cover.mp3 \
     build-fuzz/media/sorenson.flv "$corpus"/
fi
mkdir -p build-fuzz/findings
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  build-fuzz/tests/fuzz/input_fuzzer -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -max_len=200000 -artifact_prefix=build-fuzz/findings/ "$corpus"
