#!/usr/bin/env bash
# The board upload benchmark: makes 100 pictures (1024 x 768 JPEG, a different plasma field
# each, quality 85) with ImageMagick, then runs bench_board_upload under a Wine session on them.
#   bench/board_wine/upload-bench.sh BUILD_DIR [BYTES_PER_SECOND]
# BUILD_DIR: a 64-bit Windows build tree (build/windows); the program is built there first.
# BYTES_PER_SECOND: the SetBandwidth value (default 521600, 400 chunks of 1304 bytes a second).
# QUILLON_RUN_DIR (default /tmp/quillon-board-upload) holds the pictures and the Wine session.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: upload-bench.sh BUILD_DIR [BYTES_PER_SECOND]}" && pwd)
pace=${2:-521600}
run=${QUILLON_RUN_DIR:-/tmp/quillon-board-upload}
pictures=$run/pictures

cmake --build "$build" --target bench_board_upload >/dev/null
mkdir -p "$pictures"
for i in $(seq -w 1 100); do
    [ -s "$pictures/picture-$i.jpg" ] ||
        convert -seed "$((10#$i))" -size 1024x768 plasma:fractal -quality 85 "$pictures/picture-$i.jpg"
done

cleanup() { "$top/scripts/wine-session.sh" stop "$run/wine"; }
trap cleanup EXIT
"$top/scripts/wine-session.sh" start "$run/wine" win64
QUILLON_WINE_DIR=$run/wine "$top/scripts/wine-exec.sh" \
    "$build/bench/board_wine/bench_board_upload.exe" "Z:$pictures" "$pace"
