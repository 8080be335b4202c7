#!/bin/sh
# Constant-quality exports with each video codec by tellavox-export, by the
# ffmpeg tool and by HandBrakeCLI with the same encoder settings, in the same
# run: wall seconds (best of BENCH_RUNS, default 1), file size, and PSNR and
# SSIM of the output against the source. The pictures keep the source's
# size and rate, with a key frame at least every 20 pictures (the longest
# the settings offer); the sound is AAC at 128 kbit/s (Opus into WebM).
#   hd1080  60 s of 1920x1080 25 fps H.264 + AAC
#   uhd     10 s of 3840x2160 30 fps H.264 + AAC
# Usage: bench/codecs.sh [BUILD_FOLDER]; BENCH_CASES picks inputs
# ("hd1080 uhd"), BENCH_CODECS the codecs ("h264 h265 av1 vp9").
# HandBrakeCLI is left out where it is not installed, and for VP9, whose
# speed presets it names differently.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
tool=$build/tools/tellavox-export
built "$tool" tellavox-export

hd1080=$work/hd1080_60s.mp4
if [ ! -f "$hd1080" ]; then
  echo "making 60 s of 1920x1080 H.264 + AAC..." >&2
  ff -f lavfi -i testsrc2=size=1920x1080:rate=25:duration=60 -f lavfi -i sine=frequency=440:sample_rate=48000:duration=60 \
     -ac 2 -c:v libx264 -preset veryfast -g 50 -pix_fmt yuv420p -c:a aac -b:a 128k "$hd1080"
fi

# codec: our --format/--video, quality, speed; ffmpeg's encoder and its
# options; HandBrake's encoder and preset.
settings() {
  case $1 in
    h264) echo "mp4 h264 23 faster libx264 -crf,23,-preset,faster x264 faster" ;;
    h265) echo "mp4 h265 24 veryfast libx265 -crf,24,-preset,veryfast,-tag:v,hvc1 x265 veryfast" ;;
    av1)  echo "mp4 av1 30 10 libsvtav1 -crf,30,-preset,10 svt_av1 10" ;;
    vp9)  echo "webm vp9 36 5 libvpx-vp9 -crf,36,-b:v,0,-cpu-used,5,-deadline,good,-row-mt,1 - -" ;;
  esac
}

# Wall seconds of a command; nothing when it fails (its output's last
# lines go to stderr).
seconds() {
  start=$(date +%s.%N)
  if "$@" > "$work/out.txt" 2>&1; then
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
  else
    echo "failed: $*" >&2
    tail -c 300 "$work/out.txt" >&2
  fi
}
best() {
  if [ -z "$2" ]; then echo "$1"
  elif [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"
  else echo "$1"; fi
}

# PSNR and SSIM of FILE against INPUT, as "PSNR P dB, SSIM S".
judge() {
  ffmpeg -nostdin -hide_banner -i "$1" -i "$2" \
    -lavfi "[0:v]split[a][b];[1:v]split[c][d];[a][c]psnr;[b][d]ssim" -f null - > "$work/judge.txt" 2>&1
  printf 'PSNR %s dB, SSIM %s' "$(sed -n 's/.*PSNR.*average:\([0-9.inf]*\).*/\1/p' "$work/judge.txt")" \
    "$(sed -n 's/.*SSIM.*All:\([0-9.]*\).*/\1/p' "$work/judge.txt")"
}

compare() {
  name=$1 input=$2 codec=$3
  set -- $(settings "$codec")
  format=$1 video=$2 quality=$3 speed=$4 ffenc=$5 ffopts=$(echo "$6" | tr ',' ' ') hbenc=$7 hbpreset=$8
  ext=$format
  audio=aac; [ "$format" = webm ] && audio=opus
  rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$input")
  ours="$work/codec_ours_${name}_$codec.$ext" theirs="$work/codec_ffmpeg_${name}_$codec.$ext"
  hb="$work/codec_hb_${name}_$codec.$ext"
  ours_s="" ff_s="" hb_s=""
  rm -f "$ours" "$theirs" "$hb"
  i=0
  while [ "$i" -lt "${BENCH_RUNS:-1}" ]; do
    ours_s=$(best "$ours_s" "$(seconds "$tool" --in "$input" --out "$ours" --format "$format" --video "$video" \
      --quality "$quality" --speed "$speed" --gop 20 --audio "$audio" --abitrate 128000)")
    aopts="-c:a aac -b:a 128k"; [ "$audio" = opus ] && aopts="-c:a libopus -b:a 128k"
    # shellcheck disable=SC2086
    ff_s=$(best "$ff_s" "$(seconds ffmpeg -nostdin -loglevel error -y -i "$input" -c:v "$ffenc" $ffopts -g 20 \
      -pix_fmt yuv420p $aopts -movflags +faststart "$theirs")")
    if [ "$hbenc" != - ] && command -v HandBrakeCLI > /dev/null; then
      hb_s=$(best "$hb_s" "$(seconds HandBrakeCLI -i "$input" -o "$hb" -f "av_$format" -e "$hbenc" -q "$quality" \
        --encoder-preset "$hbpreset" --encopts keyint=20 --crop-mode none --non-anamorphic --no-comb-detect --no-decomb --no-deinterlace \
        --no-detelecine --no-nlmeans --no-deblock -w "$(ffprobe -v error -select_streams v:0 -show_entries stream=width -of csv=p=0 "$input")" \
        -l "$(ffprobe -v error -select_streams v:0 -show_entries stream=height -of csv=p=0 "$input")" \
        -r "$(echo "$rate" | bc -l | xargs printf '%.3f')" --cfr -E av_aac -B 128 -6 stereo)")
    fi
    i=$((i + 1))
  done
  echo "== $name $codec: quality $quality, speed $speed"
  for f in ours ffmpeg hb; do
    file=$work/codec_${f}_${name}_$codec.$ext
    [ -f "$file" ] || continue
    case $f in ours) s=$ours_s ;; ffmpeg) s=$ff_s ;; hb) s=$hb_s ;; esac
    [ -n "$s" ] || { echo "$f failed"; continue; }
    printf '%-8s %7.2f s  %10d bytes  %s\n' "$f" "$s" "$(stat -c %s "$file")" "$(judge "$file" "$input")"
  done
  [ -n "$ours_s" ] && [ -n "$ff_s" ] && printf 'ratio tellavox/ffmpeg: %.2f' "$(echo "$ours_s / $ff_s" | bc -l)"
  [ -n "$hb_s" ] && printf '   tellavox/HandBrake: %.2f' "$(echo "$ours_s / $hb_s" | bc -l)"
  echo
}

for c in ${BENCH_CASES:-hd1080 uhd}; do
  eval "input=\$$c"
  for codec in ${BENCH_CODECS:-h264 h265 av1 vp9}; do
    compare "$c" "$input" "$codec"
  done
done
