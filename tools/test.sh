#!/bin/sh
# Installs what is missing, builds everything and runs the whole test suite:
# all tests (GUI ones under a virtual display; the preview's and the export's
# picture conversions of awkward inputs also under valgrind, which sees
# writes past a picture's end inside FFmpeg's own code), then the non-GUI
# tests again built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
sh tools/deps.sh
jobs=$(nproc)

sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
  ctest --test-dir build --output-on-failure -j "$jobs"

sh tools/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTELLAVOX_SANITIZE=ON -DTELLAVOX_GUI=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$(pwd)/tests/lsan.supp \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -L nogui
