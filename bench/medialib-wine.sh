#!/usr/bin/env bash
# The media library under Wine (64-bit), each figure beside its reference from the same run:
#   1. recording, quality rows 3 (1024x738) and 1 (resized to 640x480): bench_medialib_wine
#      (LMLibrary10U.dll loaded by name) alternating with Debian's ffmpeg command line (-threads 1,
#      mpeg4 and aac, the same settings) encoding the same raw frames, ROUNDS times each;
#   2. seek latency in the one-hour movie: the library's player beside the bare cross-built
#      libavformat under Wine, then natively bench_medialib's seek lines.
# Prints the machine, the load before and after, and every figure for docs/benchmarks.md.
#   bench/medialib-wine.sh WINDOWS_BUILD BENCH_BUILD [ROUNDS]
# WINDOWS_BUILD: a 64-bit Windows tree (build/windows); BENCH_BUILD: the native tree without
# sanitizers (build/bench), whose bench_medialib makes the movie once.
# QUILLON_RUN_DIR (default /tmp/quillon-medialib-wine) holds the Wine session and the raw frames.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: medialib-wine.sh WINDOWS_BUILD BENCH_BUILD [ROUNDS]"
windows=$(cd "${1:?$usage}" && pwd)
native=$(cd "${2:?$usage}" && pwd)
rounds=${3:-5}
run=${QUILLON_RUN_DIR:-/tmp/quillon-medialib-wine}
bench=$windows/bench/medialib_wine/bench_medialib_wine.exe
movie=$native/bench-movies/hour.mp4
mkdir -p "$run"

cmake --build "$native" --target bench_medialib >/dev/null
cmake --build "$windows" --target bench_medialib_wine >/dev/null

load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "== $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, $(date -u '+%F %H:%M UTC')"
echo "== load before: $(load)"

cleanup() {
    "$top/scripts/wine-session.sh" stop "$run/wine" >/dev/null 2>&1 || true
    rm -f "$run/frames.bgra" "$run/audio.s16" "$run/ours.mp4" "$run/cli.mp4"
}
trap cleanup EXIT
"$top/scripts/wine-session.sh" start "$run/wine" win64 >/dev/null
export QUILLON_WINE_DIR=$run/wine

# The command line on the frames the Wine program wrote: wall and CPU time (user + system).
cli() {
    local row=$1 filter=vflip times
    [ "$row" = 1 ] && filter="vflip,scale=640:480:flags=bilinear"
    TIMEFORMAT='%R %U %S'
    times=$({ time ffmpeg -hide_banner -loglevel error -nostdin -y -threads 1 -f rawvideo -pix_fmt bgra \
        -s 1024x738 -r 15 -i "$run/frames.bgra" -f s16le -ar 16000 -ac 1 -i "$run/audio.s16" -vf "$filter" \
        -pix_fmt yuv420p -c:v mpeg4 -b:v 1200k -g 12 -c:a aac -b:a 32k -threads 1 -filter_threads 1 \
        "$run/cli.mp4"; } 2>&1)
    read -r wall user system <<<"$times"
    awk -v w="$wall" -v u="$user" -v s="$system" -v r="$row" \
        'BEGIN { printf "row %s command line: %.1f frames/s, %.2f ms CPU a frame\n", r, 90 / w, (u + s) * 1000 / 90 }'
}

echo "== recording, 90 frames a pass, $rounds rounds alternating"
for ((round = 1; round <= rounds; ++round)); do
    for row in 3 1; do
        # The library's FFmpeg logs at its default level: the aac encoder's closing line.
        "$top/scripts/wine-exec.sh" "$bench" record "$row" "Z:${run//\//\\}" 2>&1 | grep -v '^\[aac @'
        cli "$row"
    done
done
echo "== load: $(load)"

echo "== seek, 50 targets in $movie"
[ -s "$movie" ] || "$native/bench/medialib/bench_medialib" --benchmark_filter=seek/libavformat >/dev/null
for ((round = 1; round <= 3; ++round)); do
    "$top/scripts/wine-exec.sh" "$bench" seek "Z:${movie//\//\\}"
done
echo "== natively: bench_medialib seek lines"
for ((round = 1; round <= 3; ++round)); do
    "$native/bench/medialib/bench_medialib" --benchmark_filter=seek 2>/dev/null | awk '/^seek/ { print $1, $(NF-1), $NF }'
done
echo "== load after: $(load)"
