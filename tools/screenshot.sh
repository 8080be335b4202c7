#!/bin/sh
# Photographs the main window with a clip loaded and a crop drawn, the
# message that closes an export and the settings dialog, for the README:
# docs/main-window.png, docs/export-finished.png and docs/settings-dialog.png.
# Needs ImageMagick (apt-get install imagemagick).
set -eu
cd "$(dirname "$0")/.."
screen="-screen 0 900x660x24"
window=870x620+15+20

# On the virtual display: start the program, wait for the window titled
# TITLE, photograph the screen from outside the program (cut to CROP, or to
# that window when CROP is "window"), then end the program.
# Usage: --on-display TITLE CROP OUT.png PROGRAM-ARGUMENTS...
if [ "${1:-}" = "--on-display" ]; then
  title=$2 crop=$3 out=$4
  shift 4
  build/tools/tellavox-screenshot "$@" &
  program=$!
  tries=0
  until xwininfo -root -tree | grep -q "\"$title\""; do
    tries=$((tries + 1))
    [ "$tries" -lt 300 ] || { kill "$program"; exit 1; }
    sleep 0.2
  done
  sleep 1
  if [ "$crop" = window ]; then
    # "WxH+X+Y  +X+Y": the size and the place on the screen.
    crop=$(xwininfo -root -tree | grep "\"$title\"" | head -n 1 |
      sed -n 's/.*  \([0-9]*x[0-9]*\)[-+][0-9]*[-+][0-9]*  +\([0-9]*\)+\([0-9]*\).*/\1+\2+\3/p')
  fi
  import -window root -crop "$crop" +repage "$out"
  kill "$program"
  exit 0
fi

sh tools/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- tellavox-screenshot test_media
clip=$(pwd)/build/testmedia/av_h264_aac.mp4
xvfb-run -a -s "$screen" build/tools/tellavox-screenshot "$clip" /tmp/tellavox-screen.png
convert /tmp/tellavox-screen.png -crop "$window" +repage docs/main-window.png
echo "docs/main-window.png"
xvfb-run -a -s "$screen" sh tools/screenshot.sh --on-display "Export finished" "$window" docs/export-finished.png \
  --finished "$clip" /tmp/tellavox-finished.mp4
echo "docs/export-finished.png"
xvfb-run -a -s "$screen" sh tools/screenshot.sh --on-display "Select codec parameters" window docs/settings-dialog.png \
  --settings "$clip"
echo "docs/settings-dialog.png"
