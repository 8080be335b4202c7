#!/bin/sh
# Photographs the main window with a clip loaded and a crop drawn, for the
# README: docs/main-window.png. Needs ImageMagick (apt-get install imagemagick).
set -eu
cd "$(dirname "$0")/.."
sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- tellavox-screenshot test_media
clip=build/testmedia/av_h264_aac.mp4
xvfb-run -a -s "-screen 0 900x660x24" build/tools/tellavox-screenshot "$(pwd)/$clip" /tmp/tellavox-screen.png
convert /tmp/tellavox-screen.png -crop 870x620+15+20 +repage docs/main-window.png
echo "docs/main-window.png"
