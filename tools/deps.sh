#!/bin/sh
# Installs the Debian 12 packages that Tellavox needs to build, run and test,
# when any of them is missing. Quiet and quick when everything is there.
set -eu
packages="g++ cmake ninja-build pkg-config
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev libavfilter-dev
  libavcodec-extra ffmpeg libsdl2-dev libwxgtk3.2-dev libgtest-dev xvfb xauth imagemagick desktop-file-utils valgrind"

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
echo "Installing:$missing"
$as_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
