#!/usr/bin/env bash
# 49 video receive controls under Wine (64-bit), fed 49 CIF H.264 RTP streams at 15 fps by one
# thread for SECONDS (default 60), on a virtual display of their own large enough for the 7 x 7
# grid; beside it, the CPU of that display's Xvfb and of the wineserver, and Debian's ffmpeg
# decoding the same stream to BGRA with one thread. Prints the figures for docs/benchmarks.md.
#   bench/recv-grid.sh BUILD_DIR [SECONDS] [spread]
# With "spread" the feeding thread hands the 49 pictures of a frame over one after another across
# the frame time, as a network delivers them; without it, in one burst.
# BUILD_DIR: a 64-bit Windows build tree (build/windows); bench_recv_grid is built in it.
# QUILLON_RUN_DIR (default /tmp/quillon-recv-grid) holds the Wine session.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: recv-grid.sh BUILD_DIR [SECONDS]}" && pwd)
seconds=${2:-60}
spread=${3:-}
run=${QUILLON_RUN_DIR:-/tmp/quillon-recv-grid}
bench=$build/bench/lmvideo_recv
mkdir -p "$run"

cmake --build "$build" --target bench_recv_grid >/dev/null

xvfb_pid=
cleanup() {
    "$top/scripts/wine-session.sh" stop "$run/wine" >/dev/null 2>&1 || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# A display for 7 x 352 by 7 x 288 pixels.
rm -f "$run/display.number"
Xvfb -displayfd 3 -screen 0 2560x2112x24 -nolisten tcp 3>"$run/display.number" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$run/display.number" ] && break; sleep 0.05; done
[ -s "$run/display.number" ] || { echo "recv-grid: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$run/display.number")
"$top/scripts/wine-session.sh" start "$run/wine" win64 >/dev/null
export QUILLON_WINE_DIR=$run/wine
"$top/scripts/wine-exec.sh" regsvr32.exe /s "Z:$bench/LMVideoU.ocx"

# CPU seconds (user + system) of a process so far.
cpu_of() { awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat"; }
source "$top/scripts/wine-env.sh"
wine_env "$run/wine"
# The server works in a folder named after the prefix's device and inode.
server_dir=server-$(stat -c '%D' "$WINEPREFIX")-$(printf '%x' "$(stat -c '%i' "$WINEPREFIX")")
server_pid=
for pid in $(pgrep wineserver); do
    [ "$(basename "$(readlink "/proc/$pid/cwd")")" = "$server_dir" ] && server_pid=$pid
done

x0=$(cpu_of "$xvfb_pid")
s0=$([ -n "$server_pid" ] && cpu_of "$server_pid" || echo 0)
echo "== bench_recv_grid ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
"$top/scripts/wine-exec.sh" "$bench/bench_recv_grid.exe" "$seconds" $spread
x1=$(cpu_of "$xvfb_pid")
s1=$([ -n "$server_pid" ] && cpu_of "$server_pid" || echo 0)
echo "Xvfb $(echo "$x1 - $x0" | bc) s CPU, wineserver $(echo "$s1 - $s0" | bc) s CPU (${server_pid:-not found}) over the run"
"$top/scripts/wine-exec.sh" regsvr32.exe /u /s "Z:$bench/LMVideoU.ocx"

# The command line's decode and conversion of the same stream, one thread, over ten rounds of it
# (one round alone is too short to time), user and system time.
for _ in $(seq 10); do cat "$bench/recv-bench.h264"; done >"$run/rounds.h264"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$run/rounds.h264")
cpu=$(ffmpeg -hide_banner -nostdin -threads 1 -benchmark -i "$run/rounds.h264" -pix_fmt bgra -f null - 2>&1 |
    sed -nE 's/^bench: utime=([0-9.]+)s stime=([0-9.]+)s.*/\1 + \2/p' | bc)
echo "ffmpeg -threads 1 to BGRA: $(echo "scale=3; $cpu * 1000 / $frames" | bc) ms CPU per picture ($frames pictures, $cpu s)"
