#!/bin/sh
# Speed and memory of whole exports against the ffmpeg tool doing the same
# work with the same encoder settings (video at 5 Mbit/s with a GOP of 5, AAC
# at 128 kbit/s, 44.1 kHz stereo, into MP4):
#   hd      60 s of 1280x720 25 fps H.264 + AAC scaled to 640x360
#   hdcrop  the same, cropped to 960x540 at (160, 90) first
#   uhd     10 s of 3840x2160 30 fps H.264 + AAC scaled to 1280x720
#   uhdcrop the same, cropped to 3440x1960 at (200, 100) first
# each by tellavox-export, by tellavox-export under its progress dialog, and
# by ffmpeg, and how soon a cancel 2 s in is done. Then the peak memory
# of a 10-minute export against a 1-minute one.
#
# Usage: bench/export.sh [BUILD_FOLDER]   (default: build; tellavox-export is
# built there when missing). Media and outputs go to BUILD_FOLDER/bench-output.
# BENCH_CASES picks cases ("hd uhd"), BENCH_RUNS the runs of each (3),
# BENCH_VIDEO_CODEC the ffmpeg encoder matching Tellavox's MP4 video.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)

# Runs "$@" under a display (the dialog needs X) and prints its wall seconds
# and the seconds it tells itself, from the start of the export to its end.
if [ "${1:-}" = "--timed-under-display" ]; then
  shift
  start=$(date +%s.%N)
  told=$("$@" | sed -n 's/.*seconds=//p') || true  # exit 3: the read-back found a fault; the time counts all the same
  end=$(date +%s.%N)
  echo "$(echo "$end - $start" | bc -l) $told"
  exit 0
fi

. "$root/bench/common.sh"
tool=$build/tools/tellavox-export
built "$tool" tellavox-export


# Wall seconds, peak resident memory (KiB) and processor seconds of a
# command: prints "SECONDS KIB CPU" (CPU is 0 when GNU time is missing).
measure() {
  if [ -x /usr/bin/time ]; then
    # An exit code other than 0 (3: the read-back found a fault) puts a line
    # before the figures.
    /usr/bin/time -f '%e %M %U %S' -o "$work/time.txt" "$@" > "$work/out.txt" 2>&1 || true
    set -- $(tail -n 1 "$work/time.txt")
    echo "$1 $2 $(echo "$3 + $4" | bc -l)"
    return
  else
    # Without GNU time: the process's own high-water mark, read until it exits.
    start=$(date +%s.%N)
    "$@" > "$work/out.txt" 2>&1 &
    pid=$!
    peak=0
    while kill -0 "$pid" 2> /dev/null; do
      hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2> /dev/null || true)
      [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
      sleep 0.02
    done
    wait "$pid" || true
    end=$(date +%s.%N)
    echo "$(echo "$end - $start" | bc -l) $peak 0"
  fi
}

ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
best() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi; }

# The video encoder settings both programs use: those of Tellavox's MP4,
# H.264 High at the x264 preset it starts with, with the index first.
preset=${BENCH_PRESET:-faster}
video_codec="H.264 ($preset)"

# compare NAME INPUT SIZE [CROP]: the same export by tellavox-export (directly
# and under its progress dialog) and by the ffmpeg tool, taking turns,
# $runs times each; the best time of each counts, which keeps other work on
# the machine from deciding the ratio.
compare() {
  name=$1 input=$2 size=$3 crop=${4:-}
  w=${size%x*} h=${size#*x}
  ours_args="--in $input --out $work/ours_$name.mp4 --size $size --speed $preset --vbitrate 5000000 --gop 5 --abitrate 128000 --arate 44100 --channels 2"
  # Shrinking by area, as the program does, so both files start from the same pictures.
  filter="scale=$w:$h:flags=area"
  if [ -n "$crop" ]; then
    ours_args="$ours_args --crop $crop"
    IFS=, read -r cx cy cw ch <<CROP
$crop
CROP
    filter="crop=$cw:$ch:$cx:$cy,$filter"
  fi
  echo "== $name: $(basename "$input") ${crop:+crop $crop }-> $size $video_codec 5 Mbit/s GOP 5 + AAC 128k, MP4"
  ours_s="" ff_s="" dialog_s="" ours_cpu="" ff_cpu="" ours_told="" dialog_told=""
  i=0
  while [ "$i" -lt "$runs" ]; do
    set -- $(measure "$tool" $ours_args)
    ours_s=$(best "$ours_s" "$1") ours_kb=$2 ours_cpu=$(best "$ours_cpu" "$3")
    ours_told=$(best "$ours_told" "$(sed -n 's/.*seconds=//p' "$work/out.txt")")
    set -- $(measure ffmpeg -nostdin -loglevel error -y -i "$input" -vf "$filter" \
      -c:v libx264 -preset "$preset" -profile:v high -b:v 5000000 -g 5 -c:a aac -b:a 128000 -ar 44100 -ac 2 \
      -movflags +faststart "$work/ffmpeg_$name.mp4")
    ff_s=$(best "$ff_s" "$1") ff_kb=$2 ff_cpu=$(best "$ff_cpu" "$3")
    if [ -n "${DISPLAY:-}" ]; then
      set -- $(sh "$0" --timed-under-display "$tool" $ours_args --dialog)
    else
      set -- $(xvfb-run -a sh "$0" --timed-under-display "$tool" $ours_args --dialog)
    fi
    dialog_s=$(best "$dialog_s" "$1") dialog_told=$(best "$dialog_told" "$2")
    i=$((i + 1))
  done
  # Cancel 2 s into the export: milliseconds until the file is closed (and
  # the dialog has ended).
  cancel_args="$ours_args --out $work/cancel_$name.mp4"
  cancel_tool=$("$tool" $cancel_args --cancel-after 2 | sed -n 's/^cancel=//p')
  if [ -n "${DISPLAY:-}" ]; then
    cancel_dialog=$("$tool" $cancel_args --cancel-after 2 --dialog 2> /dev/null | sed -n 's/^cancel=//p')
  else
    cancel_dialog=$(xvfb-run -a "$tool" $cancel_args --cancel-after 2 --dialog 2> /dev/null | sed -n 's/^cancel=//p')
  fi
  for f in ours ffmpeg; do
    printf '%-7s %s, %s pictures\n' "$f:" \
      "$(ffprobe -v error -show_entries stream=codec_name,width,height,bit_rate -of csv=p=0 "$work/${f}_$name.mp4" | tr '\n' ' ')" \
      "$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$work/${f}_$name.mp4")"
  done
  # Size and PSNR against the input put through the same crop and scale.
  for f in ours ffmpeg; do
    psnr=$(ffmpeg -nostdin -hide_banner -i "$work/${f}_$name.mp4" -i "$input" \
      -lavfi "[1:v]$filter[r];[0:v][r]psnr" -f null - 2>&1 | sed -n 's/.*average:\([0-9.]*\).*/\1/p')
    printf '%-7s %d bytes, PSNR %s dB\n' "$f:" "$(stat -c %s "$work/${f}_$name.mp4")" "$psnr"
  done
  echo "best of $runs runs (wall; processor time user+sys; peak resident memory):"
  printf 'tellavox-export:          %6.2f s  cpu %6.2f s  peak %7d KiB\n' "$ours_s" "$ours_cpu" "$ours_kb"
  printf 'tellavox-export --dialog: %6.2f s\n' "$dialog_s"
  printf 'export alone, as each tells it (without starting the program and the GUI):\n'
  printf '  tool %6.2f s, dialog %6.2f s\n' "$ours_told" "$dialog_told"
  printf 'ffmpeg:                   %6.2f s  cpu %6.2f s  peak %7d KiB\n' "$ff_s" "$ff_cpu" "$ff_kb"
  printf 'ratio tool/ffmpeg:   %s\n' "$(ratio "$ours_s" "$ff_s")"
  # The floor: the processor time of the work spread over every core.
  cores=$(nproc)
  printf 'floor (cpu / %d cores): tool %.2f s (wall %s x), ffmpeg %.2f s (wall %s x)\n' "$cores" \
    "$(echo "$ours_cpu / $cores" | bc -l)" "$(ratio "$ours_s" "$(echo "$ours_cpu / $cores" | bc -l)")" \
    "$(echo "$ff_cpu / $cores" | bc -l)" "$(ratio "$ff_s" "$(echo "$ff_cpu / $cores" | bc -l)")"
  printf 'peak memory tool/ffmpeg: %s\n' "$(ratio "$ours_kb" "$ff_kb")"
  printf 'ratio dialog/tool:   %s (export alone: %s)\n' "$(ratio "$dialog_s" "$ours_s")" "$(ratio "$dialog_told" "$ours_told")"
  printf 'cancel after 2 s: tool %s ms, dialog %s ms\n' "$cancel_tool" "$cancel_dialog"
}

runs=${BENCH_RUNS:-3}
for c in ${BENCH_CASES:-hd hdcrop uhd uhdcrop}; do
  case $c in
    hd) compare hd "$hd" 640x360 ;;
    hdcrop) compare hdcrop "$hd" 640x360 160,90,960,540 ;;
    uhd) compare uhd "$uhd" 1280x720 ;;
    uhdcrop) compare uhdcrop "$uhd" 1280x720 200,100,3440,1960 ;;
  esac
done

# Memory against length: the same export of 1 and of 10 minutes.
small=$work/sd_60s.mp4
long=$work/sd_600s.mp4
if [ ! -f "$small" ]; then
  ff -f lavfi -i testsrc2=size=640x360:rate=25:duration=60 -f lavfi -i sine=frequency=440:sample_rate=44100:duration=60 \
     -ac 2 -c:v libx264 -preset veryfast -bf 2 -g 50 -pix_fmt yuv420p -c:a aac -b:a 128k "$small"
fi
if [ ! -f "$long" ]; then
  ff -stream_loop 9 -i "$small" -c copy "$long"
fi
mem_args="--size 320x180 --crop 80,45,480,270"
set -- $(measure "$tool" --in "$small" --out "$work/mem_1min.mp4" $mem_args)
one_s=$1 one_kb=$2
set -- $(measure "$tool" --in "$long" --out "$work/mem_10min.mp4" $mem_args)
ten_s=$1 ten_kb=$2
echo "== peak memory against length (640x360 -> 320x180)"
printf '1 minute:   %6.2f s  peak %6d KiB\n' "$one_s" "$one_kb"
printf '10 minutes: %6.2f s  peak %6d KiB\n' "$ten_s" "$ten_kb"
printf 'growth: %s %% (target <= 10 %%)\n' "$(printf '%.1f' "$(echo "($ten_kb - $one_kb) * 100 / $one_kb" | bc -l)")"
