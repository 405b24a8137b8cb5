#!/usr/bin/env bash
# The codec libraries' benchmarks in one go, each figure beside its reference from the same run:
#   1. under Wine (64-bit): bench_codecs_wine, the DLLs loaded by name beside the bare
#      cross-built libavcodec, swscale and openh264;
#   2. natively: bench_codecs (the codec classes beside Debian's libavcodec, openh264 and libx264);
#   3. Debian's ffmpeg command line with one thread on the same streams and pictures.
# Prints the machine, the load before and after, and every figure for docs/benchmarks.md.
#   bench/codecs.sh WINDOWS_BUILD BENCH_BUILD [PAIRS]
# PAIRS: the Wine benchmark's paired repetitions (default 15); the native one takes 5.
# WINDOWS_BUILD: a 64-bit Windows tree (build/windows); BENCH_BUILD: the native tree without
# sanitizers (build/bench, scripts/build.sh bench), whose fixtures both benchmarks read.
# QUILLON_RUN_DIR (default /tmp/quillon-codecs) holds the Wine session and the CLI's inputs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: codecs.sh WINDOWS_BUILD BENCH_BUILD [PAIRS]"
windows=$(cd "${1:?$usage}" && pwd)
native=$(cd "${2:?$usage}" && pwd)
pairs=${3:-15}
run=${QUILLON_RUN_DIR:-/tmp/quillon-codecs}
fixtures=$native/fixtures
mkdir -p "$run"

cmake --build "$native" --target bench_codecs codec_fixtures >/dev/null
cmake --build "$windows" --target bench_codecs_wine >/dev/null

load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "== $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores, $(date -u '+%F %H:%M UTC')"
echo "== load before: $(load)"

echo "== under Wine (64-bit): bench_codecs_wine, $pairs pairs"
cleanup() { "$top/scripts/wine-session.sh" stop "$run/wine" >/dev/null 2>&1 || true; }
trap cleanup EXIT
"$top/scripts/wine-session.sh" start "$run/wine" win64 >/dev/null
QUILLON_WINE_DIR=$run/wine "$top/scripts/wine-exec.sh" \
    "$windows/bench/codecs_wine/bench_codecs_wine.exe" "Z:${fixtures//\//\\}" "$pairs" 2>&1 | grep --line-buffered -v "^\[OpenH264\]"
echo "== load: $(load)"

echo "== native: bench_codecs, 5 repetitions, median CPU time"
"$native/bench/codecs/bench_codecs" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null |
    awk '/_median/ { printf "%-52s %12s %s CPU\n", $1, $4, $5 }'
echo "== load: $(load)"

# The command line, one thread (an input option for the decoder, an output option for the
# encoder): utime + stime per picture, each twice.
cli() { # what pictures ffmpeg-arguments...
    local what=$1 pictures=$2
    shift 2
    for _ in 1 2; do
        local cpu
        cpu=$(ffmpeg -hide_banner -nostdin -threads 1 -benchmark "$@" 2>&1 |
            sed -nE 's/^bench: utime=([0-9.]+)s stime=([0-9.]+)s.*/\1 + \2/p' | bc)
        printf '%-52s %8.1f us CPU (%s s for %s pictures)\n' "$what" "$(echo "$cpu * 1000000 / $pictures" | bc -l)" "$cpu" "$pictures"
    done
}
echo "== ffmpeg -threads 1 -benchmark"
for stream in cif.h264 720p.h264 cif.h263; do
    for _ in $(seq 100); do cat "$fixtures/$stream"; done >"$run/$stream.x100"
    n=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$run/$stream.x100")
    cli "decode $stream x100" "$n" -i "$run/$stream.x100" -f null -
done
# The 30 CIF pattern pictures fifty times over (1500): the encoders' input, as the benchmarks feed it.
raw=(-f rawvideo -pix_fmt yuv420p -s 352x288 -r 15 -stream_loop 49 -i "$fixtures/cif.yuv")
cli "encode h263 CIF 384k key every 150" 1500 "${raw[@]}" -threads 1 -c:v h263 -b:v 384k -g 150 -f null -
cli "encode libx264 CIF 384k baseline zerolatency g150" 1500 "${raw[@]}" -threads 1 -c:v libx264 \
    -profile:v baseline -tune zerolatency -b:v 384k -g 150 -f null -
cli "encode libx264 ... preset ultrafast" 1500 "${raw[@]}" -threads 1 -c:v libx264 -preset ultrafast \
    -profile:v baseline -tune zerolatency -b:v 384k -g 150 -f null -
cli "input only: raw CIF, 1500 pictures" 1500 "${raw[@]}" -f null -
echo "== load after: $(load)"
