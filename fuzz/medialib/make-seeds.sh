#!/usr/bin/env bash
# Small movies (64 x 48, half a second, a tone) in each container and codec pair the player
# reads, made once with Debian's ffmpeg into OUT; a second run with the same ffmpeg and script
# returns at once.
#   make-seeds.sh OUT
set -euo pipefail
out=$1
key=$( (ffmpeg -version | head -n 1; sha256sum "$0") | sha256sum | cut -c1-32)
if [ -f "$out/.key" ] && [ "$(cat "$out/.key")" = "$key" ]; then
    touch "$out/.key"
    exit 0
fi
mkdir -p "$out"
cd "$out"
ff() {
    ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc2=size=64x48:rate=10:duration=0.5 \
        -f lavfi -i sine=frequency=800:sample_rate=22050:duration=0.5 "$@"
}
ff -c:v libx264 -g 3 -c:a aac seed-h264-aac.mp4
ff -c:v mpeg4 -g 3 -c:a libmp3lame seed-mpeg4-mp3.avi
ff -c:v wmv2 -c:a wmav2 seed-wmv2.asf
ff -c:v vp8 -c:a libvorbis seed-vp8.mkv
ff -c:v flv -c:a libmp3lame -ar 22050 seed.flv
ff -c:v mpeg2video -c:a mp2 -f mpegts seed.ts
ff -vn -c:a pcm_s16le seed.wav
echo "$key" >.key
