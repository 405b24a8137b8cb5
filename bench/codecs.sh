#!/usr/bin/env bash
# The codec libraries' benchmarks in one go, each figure beside its reference from the same run:
#   1. under Wine (64-bit): bench_codecs_wine, the DLLs loaded by name beside the bare
#      cross-built libavcodec, swscale and openh264, then 49 CIF streams decoded in real time
#      from one thread for a minute;
#   2. natively: the same 49 streams (bench_codecs, BM_DecodeGrid);
#   3. natively beside Debian's ffmpeg command line with one thread on the same streams and
#      pictures, in ROUNDS rounds of bench_codecs (ours, bare libavcodec, openh264, libx264) and
#      the CLI in alternating order, summed up as medians, ranges and paired ratios.
# Prints the machine, the load before and after, and every figure for docs/benchmarks.md.
#   bench/codecs.sh WINDOWS_BUILD BENCH_BUILD [PAIRS] [ROUNDS]
# PAIRS: the Wine benchmark's paired repetitions (default 15); ROUNDS: the native ones (default 10).
# WINDOWS_BUILD: a 64-bit Windows tree (build/windows); BENCH_BUILD: the native tree without
# sanitizers (build/bench, scripts/build.sh bench), whose fixtures both benchmarks read.
# QUILLON_RUN_DIR (default /tmp/quillon-codecs) holds the Wine session and the CLI's inputs and
# figures (native-rounds.txt: round, line, microseconds of CPU per picture).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: codecs.sh WINDOWS_BUILD BENCH_BUILD [PAIRS] [ROUNDS]"
windows=$(cd "${1:?$usage}" && pwd)
native=$(cd "${2:?$usage}" && pwd)
pairs=${3:-15}
rounds=${4:-10}
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

echo "== native, 49 CIF streams at 15 fps from one thread for 60 s (bench_codecs, BM_DecodeGrid)"
"$native/bench/codecs/bench_codecs" --benchmark_filter=DecodeGrid 2>/dev/null | grep "^BM_DecodeGrid"
echo "== load: $(load)"

# Natively beside the command line, in ROUNDS rounds. A round takes each subject in turn: our
# class and its bare library (bench_codecs) and then the CLI on the same stream or pictures, or
# the other way round in every other round, so each pair runs within seconds. Every figure is
# process CPU time per picture (Google Benchmark's CPU time, single-threaded; the CLI's utime +
# stime of -benchmark).
declare -A pictures
for stream in cif.h264 720p.h264 cif.h263; do
    for _ in $(seq 100); do cat "$fixtures/$stream"; done >"$run/$stream.x100"
    pictures[$stream]=$(ffprobe -v error -count_frames -select_streams v:0 \
        -show_entries stream=nb_read_frames -of csv=p=0 "$run/$stream.x100")
done
figures=$run/native-rounds.txt
: >"$figures"
ours() { # round benchmark-filter
    "$native/bench/codecs/bench_codecs" --benchmark_format=csv --benchmark_min_time=0.5 --benchmark_filter="$2" \
        2>/dev/null | awk -F, -v r="$1" -v cif="${pictures[cif.h264]}" -v hd="${pictures[720p.h264]}" \
        -v h263="${pictures[cif.h263]}" '
        function us(t, unit) { return t * (unit == "ms" ? 1000 : unit == "us" ? 1 : 0.001) }
        $1 ~ /^"BM_/ {
            name = $1; gsub(/"/, "", name); per = 1
            if (name ~ /(long_|Stream\/|RtpLong\/)cif(_copy)?$/) per = cif
            else if (name ~ /(long_|Stream\/|RtpLong\/)hd720(_copy)?$/) per = hd
            else if (name ~ /(long_|Stream\/|RtpLong\/)h263_cif(_copy)?$/) per = h263
            printf "%s %s %.2f\n", r, name, us($4, $5) / per
        }' >>"$figures"
}
cli() { # round name pictures ffmpeg-arguments...
    local r=$1 name=$2 count=$3
    shift 3
    ffmpeg -hide_banner -nostdin -threads 1 -benchmark "$@" -f null - 2>&1 |
        sed -nE 's/^bench: utime=([0-9.]+)s stime=([0-9.]+)s.*/\1 \2/p' |
        awk -v r="$r" -v name="$name" -v n="$count" '{ printf "%s %s %.2f\n", r, name, ($1 + $2) * 1e6 / n }' >>"$figures"
}
# The 30 CIF pattern pictures fifty times over (1500): the encoders' input, as the benchmarks feed it.
raw=(-f rawvideo -pix_fmt yuv420p -s 352x288 -r 15 -stream_loop 49 -i "$fixtures/cif.yuv")
x264=(-threads 1 -c:v libx264 -profile:v baseline -tune zerolatency -b:v 384k -g 150)
subject() { # round subject: ours and the CLI on one stream, in the round's order
    local -a mine theirs
    case $2 in
    cif) mine=(ours "$1" '(RtpLong|LongStream)/cif$|long_cif(_copy)?$')
        theirs=(cli "$1" cli/decode_cif "${pictures[cif.h264]}" -i "$run/cif.h264.x100") ;;
    hd720) mine=(ours "$1" '(RtpLong|LongStream)/hd720$|long_hd720(_copy)?$')
        theirs=(cli "$1" cli/decode_hd720 "${pictures[720p.h264]}" -i "$run/720p.h264.x100") ;;
    h263) mine=(ours "$1" '(RtpLong|LongStream)/h263_cif$|long_h263_cif(_copy)?$')
        theirs=(cli "$1" cli/decode_h263_cif "${pictures[cif.h263]}" -i "$run/cif.h263.x100") ;;
    h263enc) mine=(ours "$1" 'BM_EncodeH263|BM_BareH263Encode')
        theirs=(cli "$1" cli/encode_h263 1500 "${raw[@]}" -threads 1 -c:v h263 -b:v 384k -g 150 -qmin 4) ;;
    h264enc) mine=(ours "$1" 'BM_EncodeH264|BM_BareOpenh264|BM_BareLibx264')
        theirs=(cli "$1" cli/encode_libx264_ultrafast 1500 "${raw[@]}" "${x264[@]}" -preset ultrafast) ;;
    esac
    if (($1 % 2)); then "${mine[@]}"; "${theirs[@]}"; else "${theirs[@]}"; "${mine[@]}"; fi
}
echo "== native beside ffmpeg -threads 1 -benchmark, $rounds rounds in alternating order"
for r in $(seq "$rounds"); do
    for s in cif hd720 h263 h263enc h264enc; do subject "$r" "$s"; done
    cli "$r" cli/input_only 1500 "${raw[@]}"
    cli "$r" cli/encode_libx264_medium 1500 "${raw[@]}" "${x264[@]}"
done
echo "== load: $(load)"
# Per line: median, quartiles and range over the rounds; per pair, the same of the rounds' ratios.
# The CLI's encoders less its raw input alone of the same round.
awk '
    # Sorts a[1..n]; the value at fraction q of the way, interpolated.
    function at(a, n, q,   i, j, t, x) {
        for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        x = 1 + q * (n - 1); i = int(x)
        return i < n ? a[i] + (x - i) * (a[i + 1] - a[i]) : a[n]
    }
    function stats(a, n) { return sprintf("%9.3f %9.3f %9.3f %9.3f %9.3f", at(a, n, 0.5), at(a, n, 0.25), at(a, n, 0.75), at(a, n, 0), at(a, n, 1)) }
    !(($2) in seen) { seen[$2] = 1; names[++n] = $2; if ($2 ~ /^cli\/encode/) names[++n] = $2 "-input" }
    { v[$2, $1] = $3; if ($1 > rounds) rounds = $1 }
    END {
        for (r = 1; r <= rounds; ++r) for (k = 1; k <= n; ++k)
            if (names[k] ~ /-input$/) v[names[k], r] = v[substr(names[k], 1, length(names[k]) - 6), r] - v["cli/input_only", r]
        printf "%-64s %9s %9s %9s %9s %9s\n", "us CPU per picture", "median", "q1", "q3", "min", "max"
        for (k = 1; k <= n; ++k) {
            for (r = 1; r <= rounds; ++r) a[r] = v[names[k], r]
            printf "%-64s %s\n", names[k], stats(a, rounds)
        }
        split("BM_DecodeRtpLong/cif cli/decode_cif;BM_DecodeRtpLong/hd720 cli/decode_hd720;" \
              "BM_DecodeRtpLong/h263_cif cli/decode_h263_cif;BM_EncodeH263 cli/encode_h263-input;" \
              "BM_DecodeLongStream/cif cli/decode_cif;BM_DecodeLongStream/hd720 cli/decode_hd720;" \
              "BM_DecodeLongStream/h263_cif cli/decode_h263_cif;" \
              "BM_DecodeRtpLong/cif BM_BareDecode/long_cif;BM_DecodeRtpLong/hd720 BM_BareDecode/long_hd720;" \
              "BM_DecodeRtpLong/h263_cif BM_BareDecode/long_h263_cif;" \
              "BM_DecodeRtpLong/cif BM_BareDecode/long_cif_copy;BM_DecodeRtpLong/hd720 BM_BareDecode/long_hd720_copy;" \
              "BM_DecodeRtpLong/h263_cif BM_BareDecode/long_h263_cif_copy;" \
              "BM_BareDecode/long_cif_copy BM_BareDecode/long_cif;BM_BareDecode/long_hd720_copy BM_BareDecode/long_hd720;" \
              "BM_BareDecode/long_h263_cif_copy BM_BareDecode/long_h263_cif;BM_EncodeH263 BM_BareH263Encode;" \
              "BM_EncodeH264 BM_BareOpenh264;BM_BareLibx264/medium BM_BareOpenh264;" \
              "BM_BareLibx264/ultrafast BM_BareOpenh264;cli/encode_libx264_medium-input BM_BareOpenh264;" \
              "cli/encode_libx264_ultrafast-input BM_BareOpenh264", pairs, ";")
        printf "%-64s %9s %9s %9s %9s %9s\n", "ratio of the same round", "median", "q1", "q3", "min", "max"
        for (k = 1; k in pairs; ++k) {
            split(pairs[k], ab, " ")
            for (r = 1; r <= rounds; ++r) a[r] = v[ab[1], r] / v[ab[2], r]
            printf "%-64s %s\n", ab[1] " / " ab[2], stats(a, rounds)
        }
    }' "$figures"
echo "== load after: $(load)"
