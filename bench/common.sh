# What the benchmark scripts share; sourced once `root` is set, with the
# script's first argument, BUILD_FOLDER (default: build), still in $1.
#   $build, $work   the build folder and its bench-output folder
#   ff              the ffmpeg tool, quiet, overwriting
#   built PATH TARGET  builds TARGET there when PATH is missing
#   $hd, $uhd       the clips, made once into $work:
#     hd   60 s of 1280x720 25 fps H.264 + AAC, key frames every 2 s
#     uhd  10 s of 3840x2160 30 fps H.264 + AAC, key frames every 2 s
build=${1:-$root/build}
case $build in /*) ;; *) build=$(pwd)/$build ;; esac
work=$build/bench-output
mkdir -p "$work"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

built() {
  [ -x "$1" ] || sh "$root/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -- "$2"
}

hd=$work/hd_60s.mp4
if [ ! -f "$hd" ]; then
  echo "making 60 s of 1280x720 H.264 + AAC..." >&2
  ff -f lavfi -i testsrc2=size=1280x720:rate=25:duration=60 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=60 \
     -ac 2 -c:v libx264 -preset veryfast -bf 2 -g 50 -pix_fmt yuv420p -c:a aac -b:a 128k "$hd"
fi
uhd=$work/uhd_10s.mp4
if [ ! -f "$uhd" ]; then
  echo "making 10 s of 3840x2160 30 fps H.264 + AAC, key frames every 2 s..." >&2
  ff -f lavfi -i testsrc2=size=3840x2160:rate=30:duration=10 -f lavfi -i sine=frequency=440:sample_rate=48000:duration=10 \
     -ac 2 -c:v libx264 -preset veryfast -g 60 -pix_fmt yuv420p -c:a aac -b:a 128k "$uhd"
fi
