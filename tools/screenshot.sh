#!/bin/sh
# Photographs the main window with a clip loaded and a crop drawn, and the
# message that closes an export, for the README: docs/main-window.png and
# docs/export-finished.png. Needs ImageMagick (apt-get install imagemagick).
set -eu
cd "$(dirname "$0")/.."
screen="-screen 0 900x660x24"
window=870x620+15+20

# On the virtual display: export, wait for the finished message, photograph
# the screen from outside the program, then end the program.
if [ "${1:-}" = "--finished-on-display" ]; then
  build/tools/tellavox-screenshot --finished "$2" /tmp/tellavox-finished.mp4 &
  program=$!
  tries=0
  until xwininfo -root -tree | grep -q '"Export finished"'; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { kill "$program"; exit 1; }
    sleep 0.2
  done
  sleep 1
  import -window root -crop "$window" +repage docs/export-finished.png
  kill "$program"
  exit 0
fi

sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- tellavox-screenshot test_media
clip=$(pwd)/build/testmedia/av_h264_aac.mp4
xvfb-run -a -s "$screen" build/tools/tellavox-screenshot "$clip" /tmp/tellavox-screen.png
convert /tmp/tellavox-screen.png -crop "$window" +repage docs/main-window.png
echo "docs/main-window.png"
xvfb-run -a -s "$screen" sh tools/screenshot.sh --finished-on-display "$clip"
echo "docs/export-finished.png"
