#!/bin/sh
# Makes the media that the tests read, into the folder given as the first
# argument. Everything comes from FFmpeg's synthetic sources; nothing binary
# is kept in the repository. Runs once per build folder (see the stamp).
set -eu
out=$1
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

pic() { echo "testsrc2=size=$1:rate=$2:duration=$3"; }
tone() { echo "sine=frequency=$1:sample_rate=$2:duration=$3"; }

# A phone's 4K picture, a few frames of it.
ff -f lavfi -i "$(pic 3840x2160 25 0.2)" -c:v libx264 -preset ultrafast -pix_fmt yuv420p uhd_short.mp4

# H.264 with B-frames and key frames every 2 s, AAC 44.1 kHz stereo.
ff -f lavfi -i "$(pic 640x480 25 12.88)" -f lavfi -i "$(tone 440 44100 12.88)" \
   -ac 2 -c:v libx264 -preset veryfast -bf 2 -g 50 -keyint_min 50 -sc_threshold 0 \
   -pix_fmt yuv420p -c:a aac -b:a 128k av_h264_aac.mp4
ff -f lavfi -i "$(pic 320x240 25 16)" -f lavfi -i "$(tone 330 44100 16)" \
   -ac 2 -c:v libx264 -preset veryfast -bf 2 -g 50 -keyint_min 50 -sc_threshold 0 \
   -pix_fmt yuv420p -c:a aac -b:a 128k gop2s_44k.mp4
ff -f lavfi -i "$(pic 320x240 25 5)" -f lavfi -i "$(tone 500 44100 5)" \
   -ac 2 -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 128k av_mpeg4_mp3.avi
ff -f lavfi -i "$(pic 320x240 25 4)" -f lavfi -i "$(tone 600 48000 4)" \
   -ac 2 -c:v libvpx -b:v 500k -c:a libvorbis av_vp8_vorbis.webm
ff -f lavfi -i "$(pic 320x240 25 4)" -f lavfi -i "$(tone 700 48000 4)" \
   -ac 2 -c:v libvpx-vp9 -b:v 500k -deadline realtime -cpu-used 8 -c:a libopus av_vp9_opus.mkv
# Two sound tracks that differ in rate and channels.
ff -f lavfi -i "$(pic 320x240 25 4)" -f lavfi -i "$(tone 440 44100 4)" \
   -f lavfi -i "$(tone 880 22050 4)" -map 0 -map 1 -map 2 \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac:a:0 2 -ac:a:1 1 two_audio.mkv
ff -f lavfi -i "$(tone 440 44100 5)" -ac 2 -c:a aac audio_only.m4a
ff -f lavfi -i "$(pic 320x240 25 5)" -c:v libx264 -preset veryfast -bf 2 -pix_fmt yuv420p video_only.mp4
# Transport stream whose container starts at 1.4 s.
ff -f lavfi -i "$(pic 320x240 25 12)" -f lavfi -i "$(tone 440 44100 12)" \
   -ac 2 -c:v mpeg2video -q:v 3 -g 50 -c:a mp2 -b:a 192k -muxdelay 0 -muxpreload 0 \
   -output_ts_offset 1.4 start_1_4.ts
ff -f lavfi -i "$(pic 320x240 30000/1001 3)" -c:v libx264 -preset veryfast -pix_fmt yuv420p ntsc_2997.mp4
ff -f lavfi -i "$(pic 320x240 25 4)" -f lavfi -i "$(tone 440 48000 4)" \
   -filter_complex "[1:a]pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0[a]" -map 0:v -map "[a]" \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac surround_51.mp4
# Four flat quadrants: red, green / blue, white; nearly lossless.
ff -f lavfi -i "color=red:size=160x120:rate=25:duration=3" -f lavfi -i "color=lime:size=160x120:rate=25:duration=3" \
   -f lavfi -i "color=blue:size=160x120:rate=25:duration=3" -f lavfi -i "color=white:size=160x120:rate=25:duration=3" \
   -f lavfi -i "$(tone 440 44100 3)" \
   -filter_complex "[0][1]hstack[top];[2][3]hstack[bottom];[top][bottom]vstack[v]" -map "[v]" -map 4:a \
   -ac 2 -c:v libx264 -qp 0 -pix_fmt yuv444p -c:a aac quadrants.mp4
ff -f lavfi -i "$(pic 320x240 10 3)" -c:v libx264 -preset veryfast -pix_fmt yuv420p fps10.mp4
ff -f lavfi -i "$(pic 320x240 60 2)" -c:v libx264 -preset veryfast -pix_fmt yuv420p fps60.mp4
# Phone clips: the quadrants stored sideways with a display matrix that
# turns them (-metadata rotate writes it), in 4:2:0 and in 4:2:2.
ff -i quadrants.mp4 -c:v libx264 -qp 0 -pix_fmt yuv420p -c:a copy quad420.mp4
ff -i quadrants.mp4 -c:v libx264 -qp 0 -pix_fmt yuv422p -an quad422.mp4
for turn in 90 180 270; do
  ff -i quad420.mp4 -c copy -metadata:s:v rotate=$turn rot_$turn.mp4
done
ff -i quad422.mp4 -c copy -metadata:s:v rotate=90 rot_90_422.mp4
rm quad420.mp4 quad422.mp4
cp av_mpeg4_mp3.avi "név ünïcödé.avi"
ff -f lavfi -i "$(pic 320x240 25 1.5)" -f lavfi -i "$(tone 440 44100 1.5)" \
   -ac 2 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac short_1_5.mp4
# Sorenson video and MP3 in FLV as the ffmpeg tool writes it: no key-frame index.
ff -f lavfi -i "$(pic 320x240 25 2)" -f lavfi -i "$(tone 440 44100 2)" \
   -ac 2 -c:v flv1 -c:a libmp3lame sorenson.flv
# A song with its cover picture attached.
ff -f lavfi -i "$(tone 440 44100 3)" -f lavfi -i "color=red:size=64x64:duration=1" \
   -map 0 -map 1 -frames:v 1 -c:a libmp3lame -c:v mjpeg -disposition:v attached_pic song_cover.mp3
# A broadcast whose pictures grow from 640x360 to 1280x720 after 2 s; the
# larger ones are red on the left half and blue on the right.
ff -f lavfi -i "$(pic 640x360 25 2)" -c:v mpeg2video -q:v 3 -muxdelay 0 -muxpreload 0 part1.ts
ff -f lavfi -i "color=red:size=640x720:rate=25:duration=2" -f lavfi -i "color=blue:size=640x720:rate=25:duration=2" \
   -filter_complex hstack -c:v mpeg2video -q:v 3 -muxdelay 0 -muxpreload 0 -output_ts_offset 2 part2.ts
cat part1.ts part2.ts > size_change.ts
rm part1.ts part2.ts

# Real-world sound and timing. 5.1 with one tone per channel (FL 500, FR 700,
# FC 1100, LFE 100, BL 1300, BR 1700 Hz); a mono clip; two tracks (440 Hz
# mono, 880 Hz stereo) of which the second is marked default; broadcasts
# whose clock starts at 10 hours or runs into the 33-bit wrap, with a key
# frame every 10 s; a variable-rate source (30 fps with every fifth picture
# missing) in four containers.
tones=""
for f in 500 700 1100 100 1300 1700; do tones="$tones -f lavfi -i $(tone $f 48000 3)"; done
# shellcheck disable=SC2086
ff -f lavfi -i "$(pic 160x120 25 3)" $tones \
   -filter_complex "[1][2][3][4][5][6]join=inputs=6:channel_layout=5.1:map=0.0-FL|1.0-FR|2.0-FC|3.0-LFE|4.0-BL|5.0-BR[a]" \
   -map 0:v -map "[a]" -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 384k tones_51.mp4
ff -f lavfi -i "$(pic 160x120 25 3)" -f lavfi -i "$(tone 440 44100 3)" \
   -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 1 mono.mp4
ff -f lavfi -i "$(pic 160x120 25 3)" -f lavfi -i "$(tone 440 44100 3)" -f lavfi -i "$(tone 880 44100 3)" \
   -map 0 -map 1 -map 2 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac:a:0 1 -ac:a:1 2 \
   -disposition:a:0 0 -disposition:a:1 default second_default.mkv
for offset in 36000 95440; do
  ff -f lavfi -i "$(pic 160x120 25 12)" -f lavfi -i "$(tone 440 44100 12)" -ac 2 \
     -c:v libx264 -preset veryfast -g 250 -keyint_min 250 -sc_threshold 0 -pix_fmt yuv420p \
     -c:a aac -output_ts_offset $offset clock_$offset.ts
done
for ext in mkv ts flv mp4; do
  ff -f lavfi -i "$(pic 160x120 30 4)" -f lavfi -i "$(tone 440 44100 4)" -vf "select='mod(n,5)'" \
     -fps_mode vfr -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -ac 2 vfr.$ext
done

# Small valid files of several containers: seeds for damaged input.
seed() { rate=$1; shift; ff -f lavfi -i "$(pic 160x120 25 1)" -f lavfi -i "$(tone 440 "$rate" 1)" "$@"; }
seed 44100 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac seed.mp4
seed 44100 -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac seed.mkv
seed 48000 -c:v libvpx -b:v 200k -c:a libvorbis seed.webm
seed 8000 -s 176x144 -c:v h263 -ac 1 -c:a libopencore_amrnb seed.3gp
seed 44100 -c:v mpeg4 -c:a libmp3lame seed.avi

# Bad input.
: > empty.mp4
head -c 200000 /dev/urandom > random.mp4
printf 'This is not a video.\n' > text.avi
head -c 300000 av_h264_aac.mp4 > truncated.mp4
# H.264 in Matroska cut after its header: the picture format cannot be told.
ff -f lavfi -i "$(pic 160x120 25 1)" -c:v libx264 -preset veryfast -pix_fmt yuv420p h264_only.mkv
head -c 600 h264_only.mkv > head600.mkv
size=$(wc -c < av_mpeg4_mp3.avi)
head -c $((size / 2)) av_mpeg4_mp3.avi > truncated.avi
size=$(wc -c < start_1_4.ts)
head -c $((size / 2)) start_1_4.ts > truncated.ts
touch stamp
