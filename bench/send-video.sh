#!/usr/bin/env bash
# The send control under Wine (64-bit) capturing the test camera while its host encodes every
# picture, for each stream below, SECONDS each (default 60); beside it in the same run, on the
# same camera pictures: the encoder DLL alone and the bare cross-built library under Wine, the
# bare encoder natively on the system's openh264 and libavcodec, and Debian's ffmpeg with one
# thread (h263 with our settings; libx264 at the nearest ones). Prints the machine, the load
# before and after, and every figure for docs/benchmarks.md.
#   bench/send-video.sh BUILD_DIR [SECONDS]
# BUILD_DIR: a 64-bit Windows tree (build/windows); bench_send_video is built in it.
# QUILLON_RUN_DIR (default /tmp/quillon-send-video) holds the Wine session and the raw pictures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: send-video.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-60}
run=${QUILLON_RUN_DIR:-/tmp/quillon-send-video}
bench=$build/bench/lmvideo_send
camera=$build/tests/lmvideo_send/QuillonTestCamera.dll
mkdir -p "$run"

cmake --build "$build" --target bench_send_video >/dev/null
# The native side: the same bare loop on the system's libraries, and the camera's raw pictures.
# shellcheck disable=SC2046 # pkg-config's flags are words
g++ -std=c++20 -O2 -I"$top" "$top/bench/lmvideo_send/bare_encode_main.cpp" "$top/bench/lmvideo_send/BareEncoder.cpp" \
    "$top/tests/lmvideo_send/CameraFrames.cpp" "$top/lmvideo/fixtures/StampedPattern.cpp" \
    $(pkg-config --cflags --libs openh264 libavcodec libavutil) -o "$run/bare-encode"

# The streams: camera format, size, rate, codec, bit rate.
streams=(
    "352x288 15 h264 384000"
    "352x288 15 h264 2000000"
    "352x288 15 h263 384000"
    "1280x720 30 h264 384000"
    "1280x720 30 h264 2000000"
)

load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "== $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, $(date -u '+%F %H:%M UTC')"
echo "== load before: $(load)"

cleanup() { "$top/scripts/wine-session.sh" stop "$run/wine" >/dev/null 2>&1 || true; }
trap cleanup EXIT
"$top/scripts/wine-session.sh" start "$run/wine" win64 >/dev/null
export QUILLON_WINE_DIR=$run/wine
# The GDI renderer for the preview, as the send control's tests use.
export WINEDLLOVERRIDES=d2d1,ddraw=d
"$top/scripts/wine-exec.sh" regsvr32.exe /s "Z:$bench/LMVideoU.ocx"
"$top/scripts/wine-exec.sh" regsvr32.exe /s "Z:$camera"
for subtype in I420 YUY2; do
    for stream in "${streams[@]}"; do
        read -r size fps codec rate <<<"$stream"
        "$top/scripts/wine-exec.sh" "$bench/bench_send_video.exe" "$subtype" "$size" "$fps" "$codec" "$rate" "$seconds" 2>&1 |
            grep --line-buffered -v '^\[OpenH264\]'
        echo "   load: $(load)"
    done
done
"$top/scripts/wine-exec.sh" regsvr32.exe /u /s "Z:$camera"
"$top/scripts/wine-exec.sh" regsvr32.exe /u /s "Z:$bench/LMVideoU.ocx"

echo "== natively, the same number of pictures"
for stream in "${streams[@]}"; do
    read -r size fps codec rate <<<"$stream"
    echo "-- $size $fps fps $codec $rate"
    "$run/bare-encode" encode "$codec" "$size" "$fps" "$rate" $((seconds * fps)) 2>/dev/null
done
echo "== load: $(load)"

# Debian's ffmpeg, one thread, on the camera's pictures in both formats: utime + stime per picture.
echo "== ffmpeg -threads 1 -benchmark, $seconds s of pictures each"
for subtype in I420 YUY2; do
    pix=$([ "$subtype" = YUY2 ] && echo yuyv422 || echo yuv420p)
    for stream in "${streams[@]}"; do
        read -r size fps codec rate <<<"$stream"
        raw=$run/camera-$subtype-$size.raw
        [ -s "$raw" ] || "$run/bare-encode" frames "$subtype" "$size" >"$raw"
        key=$((fps * 10))
        if [ "$codec" = h263 ]; then
            encoders=("h263:-c:v h263 -b:v $rate -g $key -bf 0 -qmin 4 -mb_info 1328")
        else
            x264="-c:v libx264 -profile:v baseline -tune zerolatency -bf 0 -b:v $rate -g $key -keyint_min $key -sc_threshold 0"
            encoders=("libx264 medium:$x264" "libx264 ultrafast:$x264 -preset ultrafast")
        fi
        for encoder in "${encoders[@]}"; do
            n=$((seconds * fps))
            # shellcheck disable=SC2086
            cpu=$(ffmpeg -hide_banner -nostdin -benchmark -stream_loop -1 -f rawvideo -pix_fmt "$pix" -s "$size" -r "$fps" \
                -i "$raw" -frames:v "$n" -threads 1 -pix_fmt yuv420p ${encoder#*:} -f null - 2>&1 |
                sed -nE 's/^bench: utime=([0-9.]+)s stime=([0-9.]+)s.*/\1 + \2/p' | bc)
            printf -- '-- %s %s %s fps %s %s: %.3f ms CPU per picture, %.3f cores\n' "$subtype" "$size" "$fps" \
                "${encoder%%:*}" "$rate" "$(echo "$cpu * 1000 / $n" | bc -l)" "$(echo "$cpu * $fps / $n" | bc -l)"
        done
    done
done
echo "== load after: $(load)"
rm -f "$run"/camera-*.raw
