#!/usr/bin/env bash
# Makes the movie player's test movies once with Debian's ffmpeg into OUT; a second run with the
# same ffmpeg and this script returns at once. Pictures: the moving test pattern; sound: a 1 kHz
# beep for the first 100 ms of every second (silence between), stereo 44.1 kHz.
#   make-movies.sh OUT
set -euo pipefail
out=$1
key=$( (ffmpeg -version | head -n 1; sha256sum "$0") | sha256sum | cut -c1-32)
if [ -f "$out/.key" ] && [ "$(cat "$out/.key")" = "$key" ]; then
    touch "$out/.key"
    exit 0
fi
rm -rf "$out"
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
picture() { echo "testsrc2=size=320x240:rate=$1:duration=3"; }
beep="aevalsrc=if(lt(mod(t\,1)\,0.1)\,0.5*sin(2*PI*1000*t)\,0)|if(lt(mod(t\,1)\,0.1)\,0.5*sin(2*PI*1000*t)\,0):s=44100:d=3"

# H.264/AAC mp4, a key frame every second; mpeg4/mp3 avi at 29.97; wmv2/wmav2 asf.
ff -f lavfi -i "$(picture 25)" -f lavfi -i "$beep" -c:v libx264 -g 25 -threads 1 -pix_fmt yuv420p \
    -c:a aac -b:a 96k clip.mp4
ff -f lavfi -i "$(picture 30000/1001)" -f lavfi -i "$beep" -c:v mpeg4 -g 15 -c:a libmp3lame -b:a 96k clip.avi
ff -f lavfi -i "$(picture 25)" -f lavfi -i "$beep" -c:v wmv2 -c:a wmav2 clip.asf
# Pictures only; sound only; full-scale stereo; silence.
ff -f lavfi -i "$(picture 25)" -c:v mpeg4 -g 25 video.mp4
ff -f lavfi -i "$beep" audio.wav
ff -f lavfi -i "aevalsrc=0.99*sin(2*PI*500*t)|0.99*sin(2*PI*500*t):s=44100:d=1" loud.wav
ff -f lavfi -i "anullsrc=r=44100:cl=stereo" -t 1 silence.wav
# Broken files: the first 4 KiB of the mp4 (no index), a text, a flipped-byte copy of the avi.
head -c 4096 clip.mp4 >truncated.mp4
echo "not a movie at all" >text.mp4
python3 -c "
import sys
data = bytearray(open('clip.avi', 'rb').read())
for i in range(2000, len(data), 997):
    data[i] ^= 0x5A
open('flipped.avi', 'wb').write(data)
"
echo "$key" >.key
