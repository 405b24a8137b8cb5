#!/usr/bin/env bash
# Makes the movie player's test movies once with Debian's ffmpeg into OUT; a second run with the
# same tools and this script returns at once. Pictures: the stamped pattern (each says its frame
# number), 320 x 240; sound: a 1 kHz beep for the first 100 ms of every second (silence
# between), stereo 44.1 kHz; three seconds.
#   make-movies.sh BIN OUT    (BIN holds quillon-pattern)
set -euo pipefail
bin=$1 out=$2
key=$( (ffmpeg -version | head -n 1; sha256sum "$0" "$bin/quillon-pattern") | sha256sum | cut -c1-32)
if [ -f "$out/.key" ] && [ "$(cat "$out/.key")" = "$key" ]; then
    touch "$out/.key"
    exit 0
fi
rm -rf "$out"
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
"$bin/quillon-pattern" 320 240 90 >pattern.yuv
# The pattern at a frame rate, then the rest of an ffmpeg line.
pic() {
    local rate=$1
    shift
    ff -f rawvideo -pix_fmt yuv420p -s 320x240 -r "$rate" -t 3 -i pattern.yuv "$@"
}
beep="aevalsrc=if(lt(mod(t\,1)\,0.1)\,0.5*sin(2*PI*1000*t)\,0)|if(lt(mod(t\,1)\,0.1)\,0.5*sin(2*PI*1000*t)\,0):s=44100:d=3"

# H.264/AAC mp4 with key frames at 0 and 2 s only; mpeg4/mp3 avi at 29.97; wmv2/wmav2 asf.
pic 25 -f lavfi -i "$beep" -c:v libx264 -g 50 -keyint_min 50 -sc_threshold 0 -threads 1 \
    -c:a aac -b:a 96k clip.mp4
pic 30000/1001 -f lavfi -i "$beep" -c:v mpeg4 -g 15 -c:a libmp3lame -b:a 96k clip.avi
pic 25 -f lavfi -i "$beep" -c:v wmv2 -c:a wmav2 clip.asf
# Pictures only; sound only; full-scale stereo; silence.
pic 25 -c:v mpeg4 -g 25 video.mp4
# An odd picture size, one second.
pic 25 -t 1 -vf scale=321:241 -c:v mpeg4 odd.mp4
ff -f lavfi -i "$beep" audio.wav
ff -f lavfi -i "aevalsrc=0.99*sin(2*PI*500*t)|0.99*sin(2*PI*500*t):s=44100:d=1" loud.wav
ff -f lavfi -i "anullsrc=r=44100:cl=stereo" -t 1 silence.wav
# Broken files: the first 4 KiB of the mp4 (no index), a text, a flipped-byte copy of the avi.
head -c 4096 clip.mp4 >truncated.mp4
echo "not a movie at all" >text.mp4
perl -e 'local $/; my $d = <STDIN>; for (my $i = 2000; $i < length $d; $i += 997) {
    substr($d, $i, 1) = chr(ord(substr($d, $i, 1)) ^ 0x5A) } print $d' <clip.avi >flipped.avi
rm pattern.yuv
echo "$key" >.key
