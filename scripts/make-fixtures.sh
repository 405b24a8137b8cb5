#!/usr/bin/env bash
# Makes the codec tests' fixtures once with Debian's ffmpeg from the stamped pattern, into
# OUT (the build tree's fixtures folder); a second run with the same tools and this script
# returns at once.
#   make-fixtures.sh BIN OUT    (BIN holds quillon-pattern and quillon-rtpcap)
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
raw() { ff -f rawvideo -pix_fmt yuv420p -s "$1" -r 15 -i "$2" "${@:3}"; }

"$bin/quillon-pattern" 352 288 30 >cif.yuv
"$bin/quillon-pattern" 1280 720 10 >720p.yuv
head -c $((352 * 288 * 3 / 2)) cif.yuv >cif-1.yuv

# The CLI's conversions of the first frame, to each packed format the converter writes.
for format in bgr24 bgra rgb555le rgb565le yuyv422 uyvy422; do
    raw 352x288 cif-1.yuv -f rawvideo -pix_fmt "$format" "cif-1.$format"
done

# MJPEG as webcams send it (full-range 4:2:0), and the CLI's decode of it.
# Default Huffman tables, so that the copy without them (as webcams send) decodes the same.
raw 352x288 cif-1.yuv -vf scale=out_range=full -pix_fmt yuvj420p -c:v mjpeg -huffman default -q:v 3 -f image2 cif-1.jpg
ff -i cif-1.jpg -f rawvideo -pix_fmt yuvj420p cif-1.jpg.yuv

# H.264 (libx264, baseline, as terminals send it) and H.263, as streams and as RTP packets,
# with Debian's libavcodec decode of each stream.
x264=(-c:v libx264 -profile:v baseline -tune zerolatency -g 15 -threads 1)
raw 352x288 cif.yuv "${x264[@]}" -b:v 384k -f h264 cif.h264
raw 1280x720 720p.yuv "${x264[@]}" -b:v 2M -f h264 720p.h264
raw 352x288 cif.yuv -c:v h263 -b:v 384k -g 15 -f h263 cif.h263
for stream in cif.h264 720p.h264 cif.h263; do
    ff -threads 1 -i "$stream" -f rawvideo -pix_fmt yuv420p "$stream.yuv"
done

# RTP: ffmpeg's muxer to a loopback port where quillon-rtpcap records the packets.
capture() {
    local name=$1 port=$((20000 + RANDOM % 20000))
    shift
    coproc cap { "$bin/quillon-rtpcap" "$port" "$name"; }
    read -r _ <&"${cap[0]}"
    ff -re "$@" -f rtp "rtp://127.0.0.1:$port?pkt_size=1350" >/dev/null
    wait "$cap_PID"
}
capture cif.h264.rtp -i cif.h264 -c copy -payload_type 96
capture 720p.h264.rtp -i 720p.h264 -c copy -payload_type 96
# RFC 2190 splits large groups of blocks at the encoder's macroblock records, which only the
# encoder itself hands over: the same encode again, straight into the muxer.
capture cif.h263.rtp -f rawvideo -pix_fmt yuv420p -s 352x288 -r 15 -i cif.yuv \
    -c:v h263 -b:v 384k -g 15 -mb_info 1330 -payload_type 34 -rtpflags rfc2190

# One second of a 440 Hz tone, 16 kHz mono, 16-bit little-endian: the Speex encoder's input.
ff -f lavfi -i sine=frequency=440:sample_rate=16000:duration=1 -f s16le -ac 1 tone-16k.raw

echo "$key" >.key
