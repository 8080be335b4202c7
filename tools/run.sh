#!/bin/sh
# Installs what is missing, builds Tellavox and starts it.
set -eu
cd "$(dirname "$0")/.."
sh tools/deps.sh
sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- tellavox
exec build/ui/tellavox
