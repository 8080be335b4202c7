#!/bin/sh
# Photographs the program for the README and the user guide:
# docs/main-window.png, docs/export-finished.png and docs/guide/*.png.
# Needs ImageMagick (apt-get install imagemagick).
set -eu
cd "$(dirname "$0")/.."
screen="-screen 0 1100x800x24"

# On the virtual display: export, wait for the finished message, photograph
# the screen from outside the program, then end the program.
if [ "${1:-}" = "--finished-on-display" ]; then
  rm -f /tmp/tellavox-finished.mp4  # an earlier one would be asked about first
  build/tools/tellavox-screenshot finished "$2" /tmp/tellavox-finished.mp4 &
  program=$!
  tries=0
  until xwininfo -root -tree | grep -q '"Export finished"'; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { kill "$program"; exit 1; }
    sleep 0.2
  done
  sleep 1
  import -window root -crop 880x640+110+80 +repage docs/export-finished.png
  kill "$program"
  exit 0
fi

sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- tellavox-screenshot test_media
clip=$(pwd)/build/testmedia/av_h264_aac.mp4
shot() {
  xvfb-run -a -s "$screen" build/tools/tellavox-screenshot "$1" "$clip" "$(pwd)/$2"
  echo "$2"
}
mkdir -p docs/guide
shot crop docs/main-window.png
for scene in open range crop settings export; do
  shot "$scene" "docs/guide/$scene.png"
done
xvfb-run -a -s "$screen" sh tools/screenshot.sh --finished-on-display "$clip"
echo "docs/export-finished.png"
