#!/bin/sh
# Photographs the program for the README and the user guide:
# docs/main-window.png and docs/guide/*.png. Needs ImageMagick
# (apt-get install imagemagick).
set -eu
cd "$(dirname "$0")/.."
sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- tellavox-screenshot test_media
clip=$(pwd)/build/testmedia/av_h264_aac.mp4
shot() {
  xvfb-run -a -s "-screen 0 1100x800x24" build/tools/tellavox-screenshot "$1" "$clip" "$(pwd)/$2"
  echo "$2"
}
mkdir -p docs/guide
shot crop docs/main-window.png
for scene in open range crop settings export; do
  shot "$scene" "docs/guide/$scene.png"
done
