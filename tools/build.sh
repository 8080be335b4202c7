#!/bin/sh
# Configures (once) and builds a build folder.
# Usage: tools/build.sh FOLDER [cmake options...] [-- targets...]
set -eu
cd "$(dirname "$0")/.."
dir=$1; shift
options=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do options="$options $1"; shift; done
[ $# -gt 0 ] && shift
targets=""
for t in "$@"; do targets="$targets --target $t"; done
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja $options > /dev/null
fi
cmake --build "$dir" $targets
